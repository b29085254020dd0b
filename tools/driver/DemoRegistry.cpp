// The demo's registry key in the 32-bit view.
#include "driver/DemoRegistry.h"

#include <cstdio>
#include <sstream>

#include "driver/Files.h"
#include "driver/Handles.h"
#include "driver/SystemText.h"

namespace driver {

namespace {

constexpr char kParentPath[] = "SOFTWARE\\UNREAL TECHNOLOGY\\INSTALLED APPS";
constexpr char kKeyName[] = "UT2003DEMO";

bool Fail(LONG status, const char* what, std::string* error) {
    if (error != nullptr) {
        *error = std::string(what) + ": " + ErrorText(static_cast<DWORD>(status));
    }
    return false;
}

LONG OpenKey(REGSAM access, RegistryKey& key) {
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDemoKeyPath, 0, access | KEY_WOW64_32KEY, key.put());
}

LONG CreateKey(RegistryKey& key) {
    return ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDemoKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_SET_VALUE | KEY_QUERY_VALUE | KEY_WOW64_32KEY, nullptr, key.put(), nullptr);
}

bool SetValue(const char* name, DWORD type, const BYTE* data, DWORD size, std::string* error) {
    RegistryKey key;
    LONG status = CreateKey(key);
    if (status != ERROR_SUCCESS) {
        return Fail(status, "cannot create the demo key", error);
    }
    status = ::RegSetValueExA(key.get(), name, 0, type, data, size);
    return status == ERROR_SUCCESS || Fail(status, "cannot set a value of the demo key", error);
}

} // namespace

namespace demo_key {

bool Delete(std::string* error) {
    RegistryKey parent;
    LONG status =
        ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParentPath, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, parent.put());
    if (status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (status != ERROR_SUCCESS) {
        return Fail(status, "cannot open the key above the demo key", error);
    }
    // The parent handle is already the 32-bit view's key, so the plain name is enough.
    status = ::RegDeleteKeyA(parent.get(), kKeyName);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ||
           Fail(status, "cannot delete the demo key", error);
}

bool Create(std::string* error) {
    RegistryKey key;
    const LONG status = CreateKey(key);
    return status == ERROR_SUCCESS || Fail(status, "cannot create the demo key", error);
}

bool SetFolder(const std::string& folder, std::string* error) {
    return SetValue(kDemoFolderValue, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                    static_cast<DWORD>(folder.size() + 1), error);
}

bool SetFolderData(DWORD type, const std::string& bytes, std::string* error) {
    return SetValue(kDemoFolderValue, type, reinterpret_cast<const BYTE*>(bytes.data()),
                    static_cast<DWORD>(bytes.size()), error);
}

bool SetFolderNumber(DWORD value, std::string* error) {
    return SetValue(kDemoFolderValue, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value, error);
}

bool DeleteFolderValue(std::string* error) {
    RegistryKey key;
    LONG status = OpenKey(KEY_SET_VALUE, key);
    if (status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (status != ERROR_SUCCESS) {
        return Fail(status, "cannot open the demo key", error);
    }
    status = ::RegDeleteValueA(key.get(), kDemoFolderValue);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ||
           Fail(status, "cannot delete the value Folder", error);
}

bool Exists() {
    RegistryKey key;
    return OpenKey(KEY_QUERY_VALUE, key) == ERROR_SUCCESS;
}

bool SetFolderIn64BitView(const std::string& folder, std::string* error) {
    RegistryKey key;
    LONG status = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDemoKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        return Fail(status, "cannot create the demo key in the 64-bit view", error);
    }
    status = ::RegSetValueExA(key.get(), kDemoFolderValue, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(folder.c_str()),
                              static_cast<DWORD>(folder.size() + 1));
    return status == ERROR_SUCCESS || Fail(status, "cannot set Folder in the 64-bit view", error);
}

bool DeleteIn64BitView(std::string* error) {
    RegistryKey parent;
    LONG status =
        ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParentPath, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, parent.put());
    if (status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (status != ERROR_SUCCESS) {
        return Fail(status, "cannot open the key above the demo key in the 64-bit view", error);
    }
    status = ::RegDeleteKeyA(parent.get(), kKeyName);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ||
           Fail(status, "cannot delete the demo key in the 64-bit view", error);
}

} // namespace demo_key

DemoKeySnapshot::DemoKeySnapshot() {
    RegistryKey key;
    LONG status = OpenKey(KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, key);
    if (status == ERROR_FILE_NOT_FOUND) {
        usable_ = true;
        return;
    }
    if (status != ERROR_SUCCESS) {
        problem_ = "cannot open the demo key: " + ErrorText(static_cast<DWORD>(status));
        return;
    }
    existed_ = true;
    DWORD subkeys = 0;
    DWORD valueCount = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    status = ::RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &valueCount,
                                &longestName, &longestData, nullptr, nullptr);
    if (status != ERROR_SUCCESS) {
        problem_ = "cannot query the demo key: " + ErrorText(static_cast<DWORD>(status));
        return;
    }
    if (subkeys != 0) {
        problem_ = "the demo key has subkeys; the tests leave such a key alone";
        return;
    }
    for (DWORD index = 0; index < valueCount; ++index) {
        std::string name(longestName + 1, '\0');
        DWORD nameLength = longestName + 1;
        RegistryValue value;
        value.data.resize(longestData + 1);
        DWORD dataSize = longestData + 1;
        status = ::RegEnumValueA(key.get(), index, name.data(), &nameLength, nullptr, &value.type,
                                 value.data.data(), &dataSize);
        if (status != ERROR_SUCCESS) {
            problem_ = "cannot read a value of the demo key: " + ErrorText(static_cast<DWORD>(status));
            return;
        }
        value.name = name.substr(0, nameLength);
        value.data.resize(dataSize);
        values_.push_back(value);
    }
    usable_ = true;
}

bool DemoKeySnapshot::Restore(std::string* error) {
    if (!usable_ || restored_) {
        return true;
    }
    restored_ = ApplyDemoKeyState(existed_, values_, error);
    return restored_;
}

namespace {

std::string Hex(const std::string& bytes) {
    std::string text;
    char digits[3];
    for (const char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned>(static_cast<unsigned char>(byte)));
        text += digits;
    }
    return text;
}

std::optional<std::string> FromHex(const std::string& text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::string::size_type i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        if (std::sscanf(text.c_str() + i, "%2x", &value) != 1) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

} // namespace

// One line "key <0|1>", then one line "value <name hex> <type> <data hex>" per value
// ("-" stands for an empty hex text).
std::string DemoKeySnapshot::Serialized() const {
    std::string text = std::string("key ") + (existed_ ? "1" : "0") + "\n";
    for (const RegistryValue& value : values_) {
        const std::string name = Hex(value.name);
        const std::string data = Hex(std::string(value.data.begin(), value.data.end()));
        text += "value " + (name.empty() ? std::string("-") : name) + " " + std::to_string(value.type) + " " +
                (data.empty() ? std::string("-") : data) + "\n";
    }
    return text;
}

bool ApplyDemoKeyState(bool exists, const std::vector<RegistryValue>& values, std::string* error) {
    if (!demo_key::Delete(error)) {
        return false;
    }
    if (!exists) {
        return true;
    }
    if (!demo_key::Create(error)) {
        return false;
    }
    for (const RegistryValue& value : values) {
        if (!SetValue(value.name.c_str(), value.type, value.data.data(),
                      static_cast<DWORD>(value.data.size()), error)) {
            return false;
        }
    }
    return true;
}

bool SaveDemoKeyState(const DemoKeySnapshot& snapshot, const std::string& path) {
    return snapshot.IsUsable() && WriteTextFile(path, snapshot.Serialized());
}

bool RestoreSavedDemoKeyState(const std::string& path, std::string* error) {
    const std::optional<std::string> text = ReadTextFile(path);
    if (!text) {
        return true;
    }
    std::istringstream lines(*text);
    std::string word;
    int exists = -1;
    std::vector<RegistryValue> values;
    while (lines >> word) {
        if (word == "key") {
            lines >> exists;
            continue;
        }
        std::string name;
        std::string data;
        RegistryValue value;
        lines >> name >> value.type >> data;
        const std::optional<std::string> nameBytes = FromHex(name == "-" ? std::string() : name);
        const std::optional<std::string> dataBytes = FromHex(data == "-" ? std::string() : data);
        if (word != "value" || !lines || !nameBytes || !dataBytes) {
            if (error != nullptr) {
                *error = "the saved state of the demo key in " + path + " cannot be read";
            }
            return false;
        }
        value.name = *nameBytes;
        value.data.assign(dataBytes->begin(), dataBytes->end());
        values.push_back(value);
    }
    if (exists != 0 && exists != 1) {
        if (error != nullptr) {
            *error = "the saved state of the demo key in " + path + " cannot be read";
        }
        return false;
    }
    return ApplyDemoKeyState(exists == 1, values, error) && DeleteFileAt(path);
}

} // namespace driver
