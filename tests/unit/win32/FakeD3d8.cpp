// A DLL that must never be loaded: built as d3d8.dll and as korvaneprobe.dll
// (a name no system has), it lies beside the Win32 system-facts tests and in
// their current directory. Loading it sets the environment variable named by
// FAKE_DLL_MARK in the process; its Direct3DCreate8 creates nothing.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::SetEnvironmentVariableA(FAKE_DLL_MARK, "1");
    }
    return TRUE;
}

extern "C" __declspec(dllexport) void* WINAPI Direct3DCreate8(UINT) {
    return nullptr;
}
