// A d3d8.dll whose Direct3D 8 object identifies a known adapter, to plant in the
// system folder: its description, driver, driver version and PCI ids are the
// ones the test expects in korvane-cli's report. Korvane asks the object for the
// adapter's identity and releases it, nothing more: the other methods are left out.
#define CINTERFACE
#include <windows.h>

#include <d3d8.h>

#include <cstring>

namespace {

ULONG WINAPI Release(IDirect3D8*) {
    return 1;
}

HRESULT WINAPI GetAdapterIdentifier(IDirect3D8*, UINT adapter, DWORD, D3DADAPTER_IDENTIFIER8* identifier) {
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

IDirect3D8Vtbl Methods() {
    IDirect3D8Vtbl methods{};
    methods.Release = &Release;
    methods.GetAdapterIdentifier = &GetAdapterIdentifier;
    return methods;
}
IDirect3D8Vtbl theMethods = Methods();
IDirect3D8 theAdapter{&theMethods};

} // namespace

extern "C" __declspec(dllexport) IDirect3D8* WINAPI Direct3DCreate8(UINT) {
    return &theAdapter;
}
