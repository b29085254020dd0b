// A d3d8.dll that Korvane must never load, for the end-to-end tests. It tells
// where it was loaded from in two ways: its adapter's description names its own
// path (kFakeAdapterPrefix, then the path), and loading it leaves a marker file
// beside it, <path>.loaded, holding the executable of the process that loaded it.
#include <windows.h>
#include <d3d8.h>

#include <cstring>

#include "driver/Handles.h"
#include "fakes/FakeD3d8.h"

namespace {

HINSTANCE theModule = nullptr;

std::size_t ModulePath(char* buffer, std::size_t size) {
    const DWORD length = ::GetModuleFileNameA(theModule, buffer, static_cast<DWORD>(size));
    return length < size ? length : 0;
}

void LeaveMarker() {
    char path[MAX_PATH + 16] = {};
    const std::size_t length = ModulePath(path, MAX_PATH);
    if (length == 0) {
        return;
    }
    std::memcpy(path + length, e2e::kFakeMarkerSuffix, sizeof e2e::kFakeMarkerSuffix);
    const HANDLE opened =
        ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return;
    }
    const e2e::KernelHandle marker(opened);
    char loader[MAX_PATH] = {};
    const DWORD loaderLength = ::GetModuleFileNameA(nullptr, loader, MAX_PATH);
    DWORD written = 0;
    ::WriteFile(marker.get(), loader, loaderLength, &written, nullptr);
}

// One object for the whole process; Release never frees it. A COM interface has
// no virtual destructor by design: nothing deletes an object through it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FakeDirect3D final : public IDirect3D8 {
public:
    HRESULT WINAPI QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return 1; }
    ULONG WINAPI Release() override { return 1; }
    HRESULT WINAPI RegisterSoftwareDevice(void*) override { return E_NOTIMPL; }
    UINT WINAPI GetAdapterCount() override { return 1; }
    HRESULT WINAPI GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER8* identifier) override {
        if (adapter != 0 || identifier == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        std::memset(identifier, 0, sizeof *identifier);
        char* description = identifier->Description;
        const std::size_t prefixLength = sizeof e2e::kFakeAdapterPrefix - 1;
        std::memcpy(description, e2e::kFakeAdapterPrefix, prefixLength);
        ModulePath(description + prefixLength, sizeof identifier->Description - prefixLength);
        return D3D_OK;
    }
    UINT WINAPI GetAdapterModeCount(UINT) override { return 0; }
    HRESULT WINAPI EnumAdapterModes(UINT, UINT, D3DDISPLAYMODE*) override { return D3DERR_INVALIDCALL; }
    HRESULT WINAPI GetAdapterDisplayMode(UINT, D3DDISPLAYMODE*) override { return D3DERR_INVALIDCALL; }
    HRESULT WINAPI CheckDeviceType(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, WINBOOL) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI CheckDeviceFormat(UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE,
                                     D3DFORMAT) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI CheckDeviceMultiSampleType(UINT, D3DDEVTYPE, D3DFORMAT, WINBOOL,
                                              D3DMULTISAMPLE_TYPE) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI CheckDepthStencilMatch(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, D3DFORMAT) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI GetDeviceCaps(UINT, D3DDEVTYPE, D3DCAPS8*) override { return D3DERR_INVALIDCALL; }
    HMONITOR WINAPI GetAdapterMonitor(UINT) override { return nullptr; }
    HRESULT WINAPI CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                                IDirect3DDevice8** device) override {
        *device = nullptr;
        return D3DERR_NOTAVAILABLE;
    }
};
#pragma GCC diagnostic pop

FakeDirect3D theFake;

} // namespace

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        theModule = module;
        LeaveMarker();
    }
    return TRUE;
}

extern "C" __declspec(dllexport) IDirect3D8* WINAPI Direct3DCreate8(UINT) {
    return &theFake;
}
