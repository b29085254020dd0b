# Cross build of the 32-bit test programs (unit tests, end-to-end tests, the
# stand-in game, the drivers) with Debian's MinGW-w64, posix thread model:
# GoogleTest needs std::mutex, which the win32 model's library lacks. Nothing
# built here is shipped; the end-to-end tests drive the release of the i686 tree.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KORVANE_MINGW_TRIPLE i686-w64-mingw32)
set(KORVANE_THREAD_MODEL posix)
# The release's processor floor (toolchain-mingw-i686.cmake), so that the unit
# tests run the code as the release compiles it.
set(KORVANE_CPU_FLAGS -march=pentiumpro -mtune=generic -mfpmath=387)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
