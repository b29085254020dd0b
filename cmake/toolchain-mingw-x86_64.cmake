# Cross build of the 64-bit release with Debian's MinGW-w64, win32 thread model,
# the same runtime as the 32-bit release.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(KORVANE_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
