# CORVANE_SANITIZE: every target built with AddressSanitizer (with
# LeakSanitizer) and UndefinedBehaviorSanitizer, UBSan halting at the first
# finding; the tests run with the settings of tests/sanitizer.
add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)

execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                OUTPUT_VARIABLE CORVANE_ASAN_RUNTIME OUTPUT_STRIP_TRAILING_WHITESPACE)
set(CORVANE_LSAN_SUPPRESSIONS ${PROJECT_SOURCE_DIR}/tests/sanitizer/lsan.supp)
configure_file(${PROJECT_SOURCE_DIR}/tests/sanitizer/environment.cmake.in
               ${PROJECT_BINARY_DIR}/sanitizer_environment.cmake @ONLY)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES
             ${PROJECT_BINARY_DIR}/sanitizer_environment.cmake)
