# cmake --install and the release archives (CPack).  One folder per
# workstation: the library, the card reader simulator and the host program
# side by side in bin/ (the library looks for its files and the card library
# beside the program that loads it), the header in include/, the documents
# in doc/.
#   Windows (i686, x86_64): ZIP of CorvaneApply.dll, ICCInter01046.dll,
#     corvane-host.exe, corvane_apply.h and the documents.
#   Linux: tar.gz of the same, with frontend-sim and frontend-call.
set(CORVANE_INSTALL_FILES $<TARGET_FILE:CorvaneApply>)
set(CORVANE_INSTALL_PROGRAMS "")
if(TARGET iccsim)
  list(APPEND CORVANE_INSTALL_FILES $<TARGET_FILE:iccsim>)
endif()
if(TARGET corvane-host)
  list(APPEND CORVANE_INSTALL_PROGRAMS $<TARGET_FILE:corvane-host>)
endif()
if(NOT WIN32)
  foreach(tool frontend-sim frontend-call corvane-settings-dialog)
    if(TARGET ${tool})
      list(APPEND CORVANE_INSTALL_PROGRAMS $<TARGET_FILE:${tool}>)
    endif()
  endforeach()
endif()
install(FILES ${CORVANE_INSTALL_FILES} DESTINATION bin)
install(PROGRAMS ${CORVANE_INSTALL_PROGRAMS} DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/include/corvane_apply.h DESTINATION include)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION doc)
if(EXISTS ${PROJECT_SOURCE_DIR}/docs)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION doc)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples DESTINATION doc)

set(CPACK_PACKAGE_NAME CorvaneApply)
set(CPACK_PACKAGE_VENDOR Corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Medical-insurance settlement library for hospital information systems")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CORVANE_32BIT)
    set(CPACK_SYSTEM_NAME windows-i686)
  else()
    set(CPACK_SYSTEM_NAME windows-x86_64)
  endif()
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
include(CPack)
