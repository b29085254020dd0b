# The release folder and zip of this architecture (names in ReleaseLayout.cmake):
#   dist/korvane-<release>-win32/ (i686) or dist/korvane-<release>-win64/ (x86_64)
# holding korvane.exe, korvane-cli.exe, cpudef.dat, the four renderer ini files,
# README.txt and LICENSE.txt; dist/korvane-<release>-<arch>.zip beside it, and the
# zip's SHA-256 in dist/korvane-<release>-<arch>.zip.sha256.
# The programs are stripped copies: no symbol table and no debug sections, a third
# of their size and never read by Windows. The build tree's programs keep both, so
# that a crash address from a user can be read against them and tests/pe can name
# the function of each instruction; the code is the same (tests/pe compares it).
include(${CMAKE_CURRENT_LIST_DIR}/ReleaseLayout.cmake)
if(NOT CMAKE_STRIP)
  message(FATAL_ERROR "No strip tool found for the release programs")
endif()

set(KORVANE_RELEASE_FILES
  ${PROJECT_SOURCE_DIR}/res/cpudef.dat
  ${PROJECT_SOURCE_DIR}/res/renderer/MaxDetailD3D.ini
  ${PROJECT_SOURCE_DIR}/res/renderer/MinDetailD3D.ini
  ${PROJECT_SOURCE_DIR}/res/renderer/MaxDetailOGL.ini
  ${PROJECT_SOURCE_DIR}/res/renderer/MinDetailOGL.ini
  ${PROJECT_SOURCE_DIR}/res/release/README.txt
  ${PROJECT_SOURCE_DIR}/LICENSE.txt)

add_custom_command(
  OUTPUT ${KORVANE_DIST_ZIP} ${KORVANE_DIST_CHECKSUM}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KORVANE_DIST_DIR} ${KORVANE_DIST_ZIP} ${KORVANE_DIST_CHECKSUM}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVANE_DIST_DIR}
  COMMAND ${CMAKE_STRIP} --strip-all -o ${KORVANE_DIST_DIR}/korvane.exe $<TARGET_FILE:korvane>
  COMMAND ${CMAKE_STRIP} --strip-all -o ${KORVANE_DIST_DIR}/korvane-cli.exe $<TARGET_FILE:korvane_cli>
  COMMAND ${CMAKE_COMMAND} -E copy ${KORVANE_RELEASE_FILES} ${KORVANE_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E chdir ${KORVANE_DIST_ROOT}
          ${CMAKE_COMMAND} -E tar cf ${KORVANE_DIST_NAME}.zip --format=zip ${KORVANE_DIST_NAME}
  COMMAND ${CMAKE_COMMAND} -DFILE=${KORVANE_DIST_ZIP} -P ${CMAKE_CURRENT_LIST_DIR}/WriteChecksum.cmake
  DEPENDS korvane korvane_cli ${KORVANE_RELEASE_FILES} ${CMAKE_CURRENT_LIST_DIR}/WriteChecksum.cmake
  COMMENT "Release folder, zip and checksum: ${KORVANE_DIST_ROOT}/${KORVANE_DIST_NAME}"
  VERBATIM)
add_custom_target(release ALL DEPENDS ${KORVANE_DIST_ZIP} ${KORVANE_DIST_CHECKSUM})
