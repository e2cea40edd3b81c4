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

# corvane_add_test(name SOURCES... LIBS ...)
# One GoogleTest executable; under a cross build it runs through the
# emulator (wine64) that the toolchain file names.
function(corvane_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  corvane_target_settings(${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${CORVANE_GTEST} Threads::Threads ${CORVANE_STATIC_RUNTIME})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "CORVANE_BUILD_DIR=${CMAKE_BINARY_DIR};CORVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR};CORVANE_WIN32_BUILD=${CORVANE_WIN32_BUILD};CORVANE_WIN64_BUILD=${CORVANE_WIN64_BUILD}"
    TIMEOUT 600)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
