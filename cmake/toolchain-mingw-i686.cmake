# Cross build of the 32-bit release with Debian's MinGW-w64, win32 thread model:
# no winpthreads, so the programs import nothing that Windows 98, ME or 2000 lack
# for threads (vectored handlers, GetTickCount64). The unsuffixed compiler names
# follow update-alternatives, so the variant is named here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KORVANE_MINGW_TRIPLE i686-w64-mingw32)
set(KORVANE_THREAD_MODEL win32)
# The processor floor, named rather than left to the compiler's default: the
# Pentium Pro's instruction set (CMOV, FCMOV and FCOMI, but no MMX and no SSE), so
# that Pentium II, Celeron, Athlon and Duron run the release; floating point on
# the x87 unit; tuned as the compiler tunes by default. tests/pe checks every
# instruction of the release programs against this floor (docs/release.md).
set(KORVANE_CPU_FLAGS -march=pentiumpro -mtune=generic -mfpmath=387)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
