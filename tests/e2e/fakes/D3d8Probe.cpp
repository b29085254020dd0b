// Loads d3d8.dll the plain way (LoadLibraryA with the bare name, so the
// program's own folder is searched first) and asks it for the default adapter's
// description, as a program that does not guard against a planted d3d8.dll does.
// It shows the tests that the fake d3d8.dll they plant would be found.
// Usage: d3d8probe <file to write the description into>
// Exit status: 0 when a description was written, 1 when no adapter answered.
#include <windows.h>
#include <d3d8.h>

#include "driver/Handles.h"

namespace {

using Direct3DCreate8Function = IDirect3D8*(WINAPI*)(UINT sdkVersion);
constexpr UINT kDirect3DSdkVersion = 120;

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    // Left loaded: the process ends right after the query.
    const HMODULE d3d8 = ::LoadLibraryA("d3d8.dll");
    const FARPROC procedure = d3d8 == nullptr ? nullptr : ::GetProcAddress(d3d8, "Direct3DCreate8");
    const auto create = reinterpret_cast<Direct3DCreate8Function>(reinterpret_cast<void (*)()>(procedure));
    IDirect3D8* direct3d = create == nullptr ? nullptr : create(kDirect3DSdkVersion);
    D3DADAPTER_IDENTIFIER8 identifier{};
    const bool answered = direct3d != nullptr && SUCCEEDED(direct3d->GetAdapterIdentifier(0, 0, &identifier));
    if (direct3d != nullptr) {
        direct3d->Release();
    }
    if (!answered) {
        return 1;
    }
    identifier.Description[sizeof identifier.Description - 1] = '\0';
    const HANDLE opened =
        ::CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return 2;
    }
    const e2e::KernelHandle out(opened);
    DWORD written = 0;
    ::WriteFile(out.get(), identifier.Description, static_cast<DWORD>(lstrlenA(identifier.Description)),
                &written, nullptr);
    return 0;
}
