# Common settings for every target of the code base.
#
# Narrow string literals are compiled as GBK so that every message the
# library produces is GBK text byte for byte, whatever the code page of the
# machine it runs on.  Sources stay UTF-8.
# The parts of src/ and the parts each may include, itself first
# (scripts/check-includes.sh reads this order from here).
set(CORVANE_BELOW_platform platform)
set(CORVANE_BELOW_common common platform)
set(CORVANE_BELOW_config config common platform)
set(CORVANE_BELOW_transport transport platform)
set(CORVANE_BELOW_card card config common platform)
set(CORVANE_BELOW_ui ui config common platform)
set(CORVANE_BELOW_link link transport config common platform)
set(CORVANE_BELOW_trade trade link card ui transport config common platform)
set(CORVANE_BELOW_api api trade link card ui transport config common platform)

# corvane_target_settings(target [PART part])
# A part's code sees only its own folder and the parts below it: its
# include folder (in the build tree) holds links to those folders of src/
# and nothing else, so an include that runs upward does not compile.  Other
# targets (tests, tools) see the whole of src/.  Include folders are never
# handed on to the targets that link this one.
function(corvane_target_settings target)
  cmake_parse_arguments(S "" "PART" "" ${ARGN})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE
      $<$<COMPILE_LANGUAGE:C,CXX>:-fexec-charset=GBK -Wall -Wextra>)
  else()
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra>)
  endif()
  if(S_PART)
    if(NOT DEFINED CORVANE_BELOW_${S_PART})
      message(FATAL_ERROR "${target}: part ${S_PART} has no place in the order")
    endif()
    set(root ${PROJECT_BINARY_DIR}/part-includes/${S_PART})
    file(MAKE_DIRECTORY ${root})
    foreach(below ${CORVANE_BELOW_${S_PART}})
      if(NOT EXISTS ${root}/${below})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${below} ${root}/${below} SYMBOLIC)
      endif()
    endforeach()
  else()
    set(root ${PROJECT_SOURCE_DIR}/src)
  endif()
  target_include_directories(${target} PRIVATE ${root} ${PROJECT_BINARY_DIR}/generated)
endfunction()

# A part of the library: a static library of position-independent objects
# that the shared library and the tests link.
function(corvane_add_part name)
  set(sources ${ARGN})
  if(NOT sources)
    # A part whose code has not arrived yet still links.
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp "")
    set(sources ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  string(REGEX REPLACE "^corvane_" "" part ${name})
  corvane_target_settings(${name} PART ${part})
endfunction()

if(WIN32)
  set(CORVANE_PLATFORM_DIR win32)
  # One DLL for the hospital to copy: no runtime DLLs of the compiler.
  set(CORVANE_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
else()
  set(CORVANE_PLATFORM_DIR posix)
  set(CORVANE_STATIC_RUNTIME "")
endif()
