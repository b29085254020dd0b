# Cross build of the 64-bit test programs, posix thread model as the 32-bit test
# tree. Used where the machine cannot run 32-bit programs (a kernel without IA-32
# emulation runs no 32-bit Wine): the tests then drive the x86_64 release.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(KORVANE_THREAD_MODEL posix)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
