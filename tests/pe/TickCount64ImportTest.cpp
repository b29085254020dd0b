// The GetTickCount64 import slot of framework/TickCount64Import.cpp, seen from a
// program that calls GetTickCount64 as usual: the program imports no
// GetTickCount64 from kernel32, the call returns the system's tick count where
// the system has one, and the performance-counter stand-in advances as it does.
// Prints what it finds; exit status 0 when every check holds.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "framework/TickCount64Import.h"

// Declared here: the build's Windows XP setting hides it in <windows.h>.
extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64();

namespace {

constexpr DWORD kPauseMs = 300;
constexpr ULONGLONG kToleranceMs = 50;

int failures = 0;

void Check(bool holds, const char* what) {
    std::printf("%s %s\n", holds ? "ok:  " : "FAIL:", what);
    if (!holds) {
        ++failures;
    }
}

ULONGLONG Distance(ULONGLONG a, ULONGLONG b) {
    return a > b ? a - b : b - a;
}

// True when this program's import directory names `function` for any DLL.
bool ImportsFunction(const char* function) {
    const auto* base = reinterpret_cast<const BYTE*>(::GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return false;
    }
    for (const auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         entry->Name != 0; ++entry) {
        const DWORD namesRva = entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
        for (const auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesRva);
             thunk->u1.AddressOfData != 0; ++thunk) {
            if (IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + thunk->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

int main() {
    Check(!ImportsFunction("GetTickCount64"), "the program imports no GetTickCount64");
    Check(ImportsFunction("QueryPerformanceCounter"),
          "the import directory is read (QueryPerformanceCounter found)");

    using TickCount64Function = ULONGLONG(WINAPI*)();
    const auto system = reinterpret_cast<TickCount64Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetTickCount64")));

    const ULONGLONG before = ::GetTickCount64();
    const ULONGLONG counterBefore = framework::TickCount64FromCounter();
    const ULONGLONG systemBefore = system != nullptr ? system() : 0;
    ::Sleep(kPauseMs);
    const ULONGLONG after = ::GetTickCount64();
    const ULONGLONG counterAfter = framework::TickCount64FromCounter();

    std::printf("GetTickCount64 %llu -> %llu, stand-in %llu -> %llu, system %llu\n", before, after,
                counterBefore, counterAfter, systemBefore);
    if (system != nullptr) {
        Check(Distance(before, systemBefore) <= kToleranceMs,
              "GetTickCount64 returns the system's tick count");
    } else {
        Check(Distance(before, counterBefore) <= kToleranceMs,
              "without a system GetTickCount64, the call returns the stand-in's count");
    }
    Check(after >= before + kPauseMs - kToleranceMs && after <= before + 10 * kPauseMs,
          "GetTickCount64 advances by the pause");
    Check(Distance(counterAfter - counterBefore, after - before) <= kToleranceMs,
          "the performance-counter stand-in advances as GetTickCount64 does");
    return failures == 0 ? 0 : 1;
}
