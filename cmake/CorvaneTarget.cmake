# Common settings for every target of the code base.
#
# Narrow string literals are compiled as GBK so that every message the
# library produces is GBK text byte for byte, whatever the code page of the
# machine it runs on.  Sources stay UTF-8.
function(corvane_target_settings target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE
      $<$<COMPILE_LANGUAGE:C,CXX>:-fexec-charset=GBK -Wall -Wextra>)
  else()
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra>)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src
    ${PROJECT_BINARY_DIR}/generated)
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
  corvane_target_settings(${name})
endfunction()

if(WIN32)
  set(CORVANE_PLATFORM_DIR win32)
  # One DLL for the hospital to copy: no runtime DLLs of the compiler.
  set(CORVANE_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
else()
  set(CORVANE_PLATFORM_DIR posix)
  set(CORVANE_STATIC_RUNTIME "")
endif()
