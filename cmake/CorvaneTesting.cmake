# GoogleTest: the system package on Linux, built from Debian's source
# package for the Windows cross builds.
if(CMAKE_CROSSCOMPILING)
  if(NOT TARGET gtest)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  set(CORVANE_GTEST gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  set(CORVANE_GTEST GTest::gtest GTest::gtest_main)
endif()
find_package(Threads REQUIRED)

# The GoogleTest executable of a test, without registering it.
function(corvane_add_test_program name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  corvane_target_settings(${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${CORVANE_GTEST} Threads::Threads ${CORVANE_STATIC_RUNTIME})
endfunction()

# corvane_add_test(name SOURCES... LIBS ... [LABELS ...])
# One GoogleTest executable; under a cross build it runs through the
# emulator that the toolchain file names (wine64, or the 32-bit Wine of
# scripts/wine32-run.sh).
function(corvane_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  corvane_add_test_program(${name} SOURCES ${T_SOURCES} LIBS ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "CORVANE_BUILD_DIR=${CMAKE_BINARY_DIR};CORVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    TIMEOUT 600)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# corvane_add_wine_command(name COMMAND cmd args... [LABELS ...] [TIMEOUT s])
# A test of the Linux build that drives programs of a Windows build under
# Wine, registered once per Windows build: name_win64 (the x86_64 build
# under wine64) and name_win32 (the i686 build, the product, under the
# 32-bit Wine of scripts/wine32-run.sh).  The command finds its build and
# its Wine in the environment: CORVANE_WINDOWS_BUILD (build tree),
# CORVANE_WINDOWS_TARGET (win64 or win32) and CORVANE_WINE (the runner).
function(corvane_add_wine_command name)
  cmake_parse_arguments(W "" "TIMEOUT" "COMMAND;LABELS" ${ARGN})
  if(CMAKE_CROSSCOMPILING)
    message(FATAL_ERROR "corvane_add_wine_command(${name}): wine tests belong to the Linux build")
  endif()
  if(NOT W_TIMEOUT)
    set(W_TIMEOUT 600)
  endif()
  set(wine_win64 ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
  set(wine_win32 ${PROJECT_SOURCE_DIR}/scripts/wine32-run.sh)
  foreach(target win64 win32)
    string(TOUPPER ${target} upper)
    set(dir "${CORVANE_${upper}_BUILD}")
    if(dir)
      add_test(NAME ${name}_${target} COMMAND ${W_COMMAND})
      set_tests_properties(${name}_${target} PROPERTIES
        ENVIRONMENT "CORVANE_BUILD_DIR=${CMAKE_BINARY_DIR};CORVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR};CORVANE_WINDOWS_BUILD=${dir};CORVANE_WINDOWS_TARGET=${target};CORVANE_WINE=${wine_${target}}"
        LABELS "${W_LABELS};wine;${target}"
        TIMEOUT ${W_TIMEOUT})
    endif()
  endforeach()
endfunction()

# corvane_add_wine_test(name SOURCES... LIBS ... [LABELS ...] [LINUX_TOO])
# A GoogleTest executable of the Linux build run once per Windows build
# (see corvane_add_wine_command).  With LINUX_TOO it is also registered
# as a plain Linux test "name"; support/process.h tells a test which run
# it is in (WindowsBuildDir() is empty in the Linux run).
function(corvane_add_wine_test name)
  cmake_parse_arguments(T "LINUX_TOO" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(T_LINUX_TOO)
    corvane_add_test(${name} SOURCES ${T_SOURCES} LIBS ${T_LIBS} LABELS ${T_LABELS})
  else()
    corvane_add_test_program(${name} SOURCES ${T_SOURCES} LIBS ${T_LIBS})
  endif()
  corvane_add_wine_command(${name} COMMAND ${name} LABELS ${T_LABELS})
endfunction()
