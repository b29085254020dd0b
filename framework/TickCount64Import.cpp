// GetTickCount64 for the programs that must start on Windows XP, which lacks it.
//
// MinGW-w64's static thread library imports GetTickCount64 for its timed waits
// (which Korvane never makes), and a program with that import does not load on
// XP at all. This file defines the import's address slot itself, so the linker
// takes no GetTickCount64 import from kernel32: the slot first points at a
// function that asks kernel32 for the real one (Vista and later) and otherwise
// counts milliseconds with the performance counter.
#include "framework/TickCount64Import.h"

#include <cstdint>

#include "framework/CounterMilliseconds.h"

namespace framework {

ULONGLONG WINAPI TickCount64FromCounter() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER count{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&count);
    return framework::CounterMilliseconds(static_cast<std::uint64_t>(count.QuadPart),
                                          static_cast<std::uint64_t>(frequency.QuadPart));
}

} // namespace framework

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI FirstTickCount64();

} // namespace

// The slot a call through the import table reads: __imp__GetTickCount64@0 for
// the 32-bit stdcall name, __imp_GetTickCount64 on x86_64.
#if defined(_WIN64)
#define KORVANE_TICK_COUNT64_SLOT "__imp_GetTickCount64"
#else
#define KORVANE_TICK_COUNT64_SLOT "__imp__GetTickCount64@0"
#endif
extern "C" {
TickCount64Function korvaneTickCount64Slot __asm__(KORVANE_TICK_COUNT64_SLOT) = FirstTickCount64;
}

namespace {

// The first call chooses the function for all later calls. Two threads that
// race here store the same value.
ULONGLONG WINAPI FirstTickCount64() {
    TickCount64Function chosen = framework::TickCount64FromCounter;
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (kernel != nullptr) {
        const FARPROC system = ::GetProcAddress(kernel, "GetTickCount64");
        if (system != nullptr) {
            chosen = reinterpret_cast<TickCount64Function>(reinterpret_cast<void*>(system));
        }
    }
    korvaneTickCount64Slot = chosen;
    return chosen();
}

} // namespace
