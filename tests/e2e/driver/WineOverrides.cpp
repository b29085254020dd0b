// Per-program DLL overrides in Wine's registry settings.
#include "driver/WineOverrides.h"

#include <windows.h>

#include <utility>

#include "driver/Handles.h"
#include "driver/SystemText.h"

namespace e2e {

namespace {

constexpr char kAppDefaults[] = "Software\\Wine\\AppDefaults";

} // namespace

WineDllOverride::WineDllOverride(std::string programName, const std::string& dll,
                                 const std::string& loadOrder)
    : programName_(std::move(programName)) {
    const std::string path = std::string(kAppDefaults) + "\\" + programName_ + "\\DllOverrides";
    RegistryKey key;
    LONG status = ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status == ERROR_SUCCESS) {
        status = ::RegSetValueExA(key.get(), dll.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(loadOrder.c_str()),
                                  static_cast<DWORD>(loadOrder.size() + 1));
    }
    if (status != ERROR_SUCCESS) {
        problem_ = "cannot set HKCU\\" + path + "\\" + dll + ": " + ErrorText(static_cast<DWORD>(status));
    }
}

WineDllOverride::~WineDllOverride() {
    RegistryKey appDefaults;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kAppDefaults, 0, KEY_ALL_ACCESS, appDefaults.put()) ==
        ERROR_SUCCESS) {
        ::RegDeleteTreeA(appDefaults.get(), programName_.c_str());
    }
}

} // namespace e2e
