// Per-program DLL overrides in Wine's registry settings.
#include "driver/WineOverrides.h"

#include <windows.h>

#include <utility>

#include "driver/Handles.h"
#include "driver/SystemText.h"

namespace driver {

namespace {

constexpr char kAppDefaults[] = "Software\\Wine\\AppDefaults";

// Sets `name` = `text` in HKCU\<kAppDefaults>\<subkey>; the problem, or empty.
std::string SetAppDefault(const std::string& subkey, const std::string& name, const std::string& text) {
    const std::string path = std::string(kAppDefaults) + "\\" + subkey;
    RegistryKey key;
    LONG status = ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status == ERROR_SUCCESS) {
        status =
            ::RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1));
    }
    if (status != ERROR_SUCCESS) {
        return "cannot set HKCU\\" + path + "\\" + name + ": " + ErrorText(static_cast<DWORD>(status));
    }
    return {};
}

void DeleteAppDefaults(const std::string& programName) {
    RegistryKey appDefaults;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kAppDefaults, 0, KEY_ALL_ACCESS, appDefaults.put()) ==
        ERROR_SUCCESS) {
        ::RegDeleteTreeA(appDefaults.get(), programName.c_str());
    }
}

} // namespace

WineDllOverride::WineDllOverride(std::string programName, const std::string& dll,
                                 const std::string& loadOrder)
    : programName_(std::move(programName)),
      problem_(SetAppDefault(programName_ + "\\DllOverrides", dll, loadOrder)) {}

WineDllOverride::~WineDllOverride() {
    DeleteAppDefaults(programName_);
}

} // namespace driver
