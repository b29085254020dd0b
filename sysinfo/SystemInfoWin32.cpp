// Operating-system name, display adapter and memory size on Windows.
#include "sysinfo/SystemInfo.h"

#include <windows.h>
#include <d3d8.h>

#include "sysinfo/OsNames.h"
#include "sysinfo/SystemLibrary.h"

namespace sysinfo {

namespace {

// The Direct3D 8.0 SDK version that Direct3DCreate8 is asked for.
constexpr UINT kDirect3DSdkVersion = 120;
constexpr UINT kDefaultAdapter = 0;
// LOAD_LIBRARY_SEARCH_SYSTEM32, which the XP-level headers do not define.
constexpr DWORD kLoadLibrarySearchSystem32 = 0x800;

static_assert(sizeof(OSVERSIONINFOA) == 148, "GetVersionExA is given the 148-byte structure");

using Direct3DCreate8Function = IDirect3D8*(WINAPI*)(UINT sdkVersion);
using GlobalMemoryStatusExFunction = BOOL(WINAPI*)(LPMEMORYSTATUSEX status);

// GetProcAddress's answer as the function type it stands for.
template <typename Function> Function ProcedureAs(HMODULE module, const char* name) {
    const FARPROC procedure = module == nullptr ? nullptr : ::GetProcAddress(module, name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(procedure));
}

// Releases a COM object when it goes out of scope.
template <typename Interface> class ComReference {
public:
    explicit ComReference(Interface* object) noexcept : object_(object) {}
    ~ComReference() {
        if (object_ != nullptr) {
            object_->Release();
        }
    }
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;

    Interface* operator->() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }

private:
    Interface* object_;
};

// The default adapter's identifier as Direct3D 8 gives it, its texts ended; none
// when d3d8.dll is missing from the system folder or does not answer.
std::optional<D3DADAPTER_IDENTIFIER8> DefaultAdapterIdentifier() {
    const framework::UniqueModule d3d8 = LoadFromSystemFolder("d3d8.dll");
    const auto create = ProcedureAs<Direct3DCreate8Function>(d3d8.get(), "Direct3DCreate8");
    if (create == nullptr) {
        return std::nullopt;
    }
    // Declared after the module, so the object is released before the library is freed.
    const ComReference<IDirect3D8> direct3d(create(kDirect3DSdkVersion));
    if (!direct3d) {
        return std::nullopt;
    }
    D3DADAPTER_IDENTIFIER8 identifier{};
    if (FAILED(direct3d->GetAdapterIdentifier(kDefaultAdapter, 0, &identifier))) {
        return std::nullopt;
    }
    identifier.Description[sizeof(identifier.Description) - 1] = '\0';
    identifier.Driver[sizeof(identifier.Driver) - 1] = '\0';
    return identifier;
}

std::string OsName() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExA(&version)) {
        return {};
    }
    return OsNameFor(version.dwMajorVersion, version.dwMinorVersion);
}

} // namespace

framework::UniqueModule LoadFromSystemFolder(const char* dllName) {
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (kernel != nullptr && ::GetProcAddress(kernel, "AddDllDirectory") != nullptr) {
        framework::UniqueModule module(::LoadLibraryExA(dllName, nullptr, kLoadLibrarySearchSystem32));
        // A loader that has AddDllDirectory but refuses the flag falls back to the full path.
        if (module || ::GetLastError() != ERROR_INVALID_PARAMETER) {
            return module;
        }
    }
    return LoadByFullSystemPath(dllName);
}

framework::UniqueModule LoadByFullSystemPath(const char* dllName) {
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::string path(folder, length);
    if (path.back() != '\\') {
        path += '\\';
    }
    path += dllName;
    return framework::UniqueModule(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

std::string DefaultAdapterDescription() {
    const std::optional<D3DADAPTER_IDENTIFIER8> identifier = DefaultAdapterIdentifier();
    return identifier ? identifier->Description : std::string();
}

std::optional<AdapterIdentity> DefaultAdapterIdentity() {
    const std::optional<D3DADAPTER_IDENTIFIER8> identifier = DefaultAdapterIdentifier();
    if (!identifier) {
        return std::nullopt;
    }
    AdapterIdentity identity;
    identity.driver = identifier->Driver;
    identity.driverVersion = DriverVersionText(static_cast<std::uint32_t>(identifier->DriverVersion.HighPart),
                                               identifier->DriverVersion.LowPart);
    identity.vendorId = identifier->VendorId;
    identity.deviceId = identifier->DeviceId;
    identity.subsystemId = identifier->SubSysId;
    identity.revision = identifier->Revision;
    return identity;
}

std::uint64_t TotalPhysicalMemoryBytes() {
    const auto globalMemoryStatusEx =
        ProcedureAs<GlobalMemoryStatusExFunction>(::GetModuleHandleA("kernel32.dll"), "GlobalMemoryStatusEx");
    if (globalMemoryStatusEx != nullptr) {
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof(status);
        if (globalMemoryStatusEx(&status)) {
            return status.ullTotalPhys;
        }
    }
    MEMORYSTATUS status{};
    status.dwLength = sizeof(status);
    ::GlobalMemoryStatus(&status);
    return status.dwTotalPhys;
}

SystemInfo::SystemInfo() : osName(OsName()), adapterDescription(DefaultAdapterDescription()) {}

SystemInfo::~SystemInfo() = default;

MachineTexts GatherMachineTexts(CpuInfo& cpu) {
    cpu.MeasureClock();
    const CpuDescription& description = TheCpuDescription();
    MachineTexts texts;
    texts.processor = description.processorName;
    texts.frequency = FrequencyText(description.clockMhz);
    texts.cache = CacheText(cpu);
    texts.ramSize = RamText(TotalPhysicalMemoryBytes());
    const SystemInfo system;
    texts.osName = system.osName;
    texts.videoCard = system.adapterDescription;
    return texts;
}

} // namespace sysinfo
