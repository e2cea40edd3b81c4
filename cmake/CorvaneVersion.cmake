# The version of the product, from project(VERSION): a header for the code
# (build/generated/corvane_version.h) and, on Windows, a version resource
# for each DLL.
set(CORVANE_PRODUCT_NAME "CorvaneApply")
configure_file(${CMAKE_CURRENT_LIST_DIR}/corvane_version.h.in
  ${PROJECT_BINARY_DIR}/generated/corvane_version.h @ONLY)

# corvane_version_resource(target "description"): file and product version,
# product name, description and original file name in the target's file.
function(corvane_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(CORVANE_FILE_DESCRIPTION "${description}")
  set(CORVANE_ORIGINAL_FILENAME "$<TARGET_FILE_NAME:${target}>")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in
    ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc.in @ONLY)
  file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc
    INPUT ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc.in)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
endfunction()
