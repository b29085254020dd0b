// The registry lookup of the demo's folder and the fatal path.
#include "app/InstallLookup.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "app/InstallPaths.h"
#include "framework/Handles.h"

namespace app {

std::optional<std::string> ReadDemoFolder() {
    framework::UniqueRegistryKey key;
    // The installer is a 32-bit program: its key lives in the 32-bit view, which a
    // 64-bit build must ask for and a 32-bit build gets anyway.
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDemoRegistryKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                        key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    char buffer[kFolderBufferBytes] = {};
    DWORD type = REG_SZ;
    DWORD size = sizeof buffer;
    const LONG status = ::RegQueryValueExA(key.get(), kDemoFolderValue, nullptr, &type,
                                           reinterpret_cast<BYTE*>(buffer), &size);
    return FolderFromQuery(status, type, buffer, size);
}

void LookUpGameInstallation(HWND owner) {
    const std::optional<std::string> folder = ReadDemoFolder();
    if (!folder) {
        ::MessageBoxA(owner, kFatalText, kFatalCaption, MB_ICONHAND);
        std::exit(-1);
    }
    GameInstall() = MakeInstallPaths(*folder);
}

bench::GamePlaces InstalledGamePlaces() {
    const InstallPaths& install = GameInstall();
    return {install.gameExecutable, install.systemFolder, install.gameFolder};
}

} // namespace app
