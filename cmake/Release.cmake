# The release folder and zip of this architecture:
#   dist/korvane-<release>-win32/ (i686) or dist/korvane-<release>-win64/ (x86_64)
# holding korvane.exe, cpudef.dat, the four renderer ini files, README.txt and
# LICENSE.txt, and dist/korvane-<release>-<arch>.zip beside it.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KORVANE_ARCH_NAME win64)
else()
  set(KORVANE_ARCH_NAME win32)
endif()
set(KORVANE_DIST_NAME korvane-${KORVANE_RELEASE_NAME}-${KORVANE_ARCH_NAME})
set(KORVANE_DIST_DIR ${PROJECT_SOURCE_DIR}/dist/${KORVANE_DIST_NAME})
set(KORVANE_DIST_ZIP ${PROJECT_SOURCE_DIR}/dist/${KORVANE_DIST_NAME}.zip)

set(KORVANE_RELEASE_FILES
  ${PROJECT_SOURCE_DIR}/res/cpudef.dat
  ${PROJECT_SOURCE_DIR}/res/renderer/MaxDetailD3D.ini
  ${PROJECT_SOURCE_DIR}/res/renderer/MinDetailD3D.ini
  ${PROJECT_SOURCE_DIR}/res/renderer/MaxDetailOGL.ini
  ${PROJECT_SOURCE_DIR}/res/renderer/MinDetailOGL.ini
  ${PROJECT_SOURCE_DIR}/res/release/README.txt
  ${PROJECT_SOURCE_DIR}/LICENSE.txt)

add_custom_command(
  OUTPUT ${KORVANE_DIST_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KORVANE_DIST_DIR} ${KORVANE_DIST_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVANE_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:korvane> ${KORVANE_DIST_DIR}/korvane.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${KORVANE_RELEASE_FILES} ${KORVANE_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_SOURCE_DIR}/dist
          ${CMAKE_COMMAND} -E tar cf ${KORVANE_DIST_NAME}.zip --format=zip ${KORVANE_DIST_NAME}
  DEPENDS korvane ${KORVANE_RELEASE_FILES}
  COMMENT "Release folder and zip: dist/${KORVANE_DIST_NAME}"
  VERBATIM)
add_custom_target(release ALL DEPENDS ${KORVANE_DIST_ZIP})
