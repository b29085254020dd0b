// A d3d8.dll whose Direct3D 8 object identifies a known adapter, to plant in the
// system folder: its description, driver, driver version and PCI ids are the
// ones the test expects in korvane-cli's report.
#include <windows.h>

#include <d3d8.h>

#include <cstring>

namespace {

// A COM object: released through its interface, never deleted through it, so
// the interface's lack of a virtual destructor does no harm.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class KnownAdapter final : public IDirect3D8 {
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
        std::strcpy(identifier->Driver, "ati2dvag.dll");
        std::strcpy(identifier->Description, "Planted RADEON 9700 PRO");
        identifier->DriverVersion.HighPart = 0x0006000E; // 6.14
        identifier->DriverVersion.LowPart = 0x000A1894;  // 10.6292
        identifier->VendorId = 0x1002;
        identifier->DeviceId = 0x4E44;
        identifier->SubSysId = 0x00021002;
        identifier->Revision = 1;
        return D3D_OK;
    }
    UINT WINAPI GetAdapterModeCount(UINT) override { return 0; }
    HRESULT WINAPI EnumAdapterModes(UINT, UINT, D3DDISPLAYMODE*) override { return E_NOTIMPL; }
    HRESULT WINAPI GetAdapterDisplayMode(UINT, D3DDISPLAYMODE*) override { return E_NOTIMPL; }
    HRESULT WINAPI CheckDeviceType(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, WINBOOL) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI CheckDeviceFormat(UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE,
                                     D3DFORMAT) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI CheckDeviceMultiSampleType(UINT, D3DDEVTYPE, D3DFORMAT, WINBOOL,
                                              D3DMULTISAMPLE_TYPE) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI CheckDepthStencilMatch(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, D3DFORMAT) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI GetDeviceCaps(UINT, D3DDEVTYPE, D3DCAPS8*) override { return E_NOTIMPL; }
    HMONITOR WINAPI GetAdapterMonitor(UINT) override { return nullptr; }
    HRESULT WINAPI CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                                IDirect3DDevice8**) override {
        return E_NOTIMPL;
    }
};

KnownAdapter theAdapter;

} // namespace

extern "C" __declspec(dllexport) IDirect3D8* WINAPI Direct3DCreate8(UINT) {
    return &theAdapter;
}
