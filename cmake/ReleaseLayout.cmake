# Names and places of this architecture's release, for the release target
# (Release.cmake) and the checks on it (tests/pe):
#   <KORVANE_DIST_ROOT>/korvane-<release>-win32/ (i686) or -win64/ (x86_64),
#   the zip of that folder beside it and the zip's SHA-256 beside the zip.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KORVANE_ARCH_NAME win64)
else()
  set(KORVANE_ARCH_NAME win32)
endif()
set(KORVANE_DIST_ROOT ${PROJECT_SOURCE_DIR}/dist CACHE PATH
  "Folder that receives the release folder, its zip and the zip's checksum")
set(KORVANE_DIST_NAME korvane-${KORVANE_RELEASE_NAME}-${KORVANE_ARCH_NAME})
set(KORVANE_DIST_DIR ${KORVANE_DIST_ROOT}/${KORVANE_DIST_NAME})
set(KORVANE_DIST_ZIP ${KORVANE_DIST_ROOT}/${KORVANE_DIST_NAME}.zip)
set(KORVANE_DIST_CHECKSUM ${KORVANE_DIST_ZIP}.sha256)
