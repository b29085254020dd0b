// A d3d8.dll that Korvane must never load. Loading it leaves a marker file beside
// it, <its path>.loaded; its Direct3DCreate8 creates nothing.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    char path[MAX_PATH + 8] = {};
    const DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
    if (reason == DLL_PROCESS_ATTACH && length > 0 && length < MAX_PATH) {
        lstrcatA(path, ".loaded");
        ::CloseHandle(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}

extern "C" __declspec(dllexport) void* WINAPI Direct3DCreate8(UINT) {
    return nullptr;
}
