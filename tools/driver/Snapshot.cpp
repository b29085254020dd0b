// Snapshots of files and registry keys.
#include "driver/Snapshot.h"

#include <cctype>
#include <cstdio>

#include "driver/Handles.h"
#include "driver/Paths.h"

namespace driver {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

unsigned long long Join(DWORD high, DWORD low) {
    return (static_cast<unsigned long long>(high) << 32) | low;
}

void CollectFiles(const std::string& folder, FileTree& tree) {
    WIN32_FIND_DATAA found = {};
    FindHandle search(::FindFirstFileA(JoinPath(folder, "*").c_str(), &found));
    if (!search) {
        return;
    }
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = JoinPath(folder, name);
        FileState state;
        state.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        state.sizeBytes = state.folder ? 0 : Join(found.nFileSizeHigh, found.nFileSizeLow);
        state.lastWrite = Join(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
        tree[Lower(path)] = state;
        if (state.folder && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            CollectFiles(path, tree);
        }
    } while (::FindNextFileA(search.get(), &found));
}

// Far deeper than any real key; a guard against a loop of links all the same.
constexpr int kDeepestKey = 64;

void CollectKeys(HKEY key, const std::string& path, int depth, RegistryTree& tree) {
    RegistryKeyState& state = tree[Lower(path)];
    DWORD subkeys = 0;
    DWORD longestSubkey = 0;
    DWORD values = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    FILETIME lastWrite = {};
    if (::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                           &longestName, &longestData, nullptr, &lastWrite) != ERROR_SUCCESS) {
        state.readable = false;
        return;
    }
    state.lastWrite = Join(lastWrite.dwHighDateTime, lastWrite.dwLowDateTime);
    for (DWORD index = 0; index < values; ++index) {
        std::string name(longestName + 2, '\0');
        DWORD nameLength = longestName + 2;
        std::string data(longestData + 1, '\0');
        DWORD dataSize = longestData + 1;
        DWORD type = REG_NONE;
        if (::RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &dataSize) != ERROR_SUCCESS) {
            state.readable = false;
            continue;
        }
        data.resize(dataSize);
        state.values[Lower(name.substr(0, nameLength))] = {type, data};
    }
    if (depth >= kDeepestKey) {
        return;
    }
    std::vector<std::string> names;
    for (DWORD index = 0; index < subkeys; ++index) {
        std::string name(longestSubkey + 2, '\0');
        DWORD nameLength = longestSubkey + 2;
        if (::RegEnumKeyExA(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS) {
            names.push_back(name.substr(0, nameLength));
        }
    }
    for (const std::string& name : names) {
        RegistryKey subkey;
        const LONG status = ::RegOpenKeyExA(key, name.c_str(), REG_OPTION_OPEN_LINK,
                                            KEY_READ | KEY_WOW64_64KEY, subkey.put());
        if (status != ERROR_SUCCESS) {
            tree[Lower(path + "\\" + name)].readable = false;
            continue;
        }
        CollectKeys(subkey.get(), path + "\\" + name, depth + 1, tree);
    }
}

std::string Hex(unsigned long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", value);
    return text;
}

std::string Describe(const FileState& state) {
    return state.folder ? "folder, time " + Hex(state.lastWrite)
                        : std::to_string(state.sizeBytes) + " bytes, time " + Hex(state.lastWrite);
}

std::string Describe(const RegistryValueState& value) {
    std::string text =
        "type " + std::to_string(value.type) + ", " + std::to_string(value.data.size()) + " bytes";
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
        text += " \"" + std::string(value.data.c_str()) + "\"";
    }
    return text;
}

} // namespace

FileTree SnapshotFiles(const std::string& root) {
    FileTree tree;
    CollectFiles(root, tree);
    return tree;
}

RegistryTree SnapshotRegistry() {
    RegistryTree tree;
    CollectKeys(HKEY_LOCAL_MACHINE, "HKLM", 0, tree);
    CollectKeys(HKEY_USERS, "HKU", 0, tree);
    return tree;
}

std::vector<Change> CompareFiles(const FileTree& before, const FileTree& after) {
    std::vector<Change> changes;
    for (const auto& [path, state] : before) {
        const auto now = after.find(path);
        if (now == after.end()) {
            changes.push_back({"removed", path, Describe(state)});
        } else if (now->second.folder != state.folder || now->second.sizeBytes != state.sizeBytes) {
            changes.push_back({"changed", path, Describe(state) + " -> " + Describe(now->second)});
        } else if (now->second.lastWrite != state.lastWrite) {
            changes.push_back({"time", path, Describe(state) + " -> " + Describe(now->second)});
        }
    }
    for (const auto& [path, state] : after) {
        if (before.find(path) == before.end()) {
            changes.push_back({"added", path, Describe(state)});
        }
    }
    return changes;
}

std::vector<Change> CompareRegistry(const RegistryTree& before, const RegistryTree& after) {
    std::vector<Change> changes;
    for (const auto& [path, key] : before) {
        const auto now = after.find(path);
        if (now == after.end()) {
            changes.push_back({"removed", path, std::to_string(key.values.size()) + " values"});
            continue;
        }
        for (const auto& [name, value] : key.values) {
            const auto nowValue = now->second.values.find(name);
            if (nowValue == now->second.values.end()) {
                changes.push_back({"removed", path + " : " + name, Describe(value)});
            } else if (nowValue->second != value) {
                changes.push_back(
                    {"changed", path + " : " + name, Describe(value) + " -> " + Describe(nowValue->second)});
            }
        }
        for (const auto& [name, value] : now->second.values) {
            if (key.values.find(name) == key.values.end()) {
                changes.push_back({"added", path + " : " + name, Describe(value)});
            }
        }
        if (now->second.lastWrite != key.lastWrite) {
            changes.push_back({"time", path, Hex(key.lastWrite) + " -> " + Hex(now->second.lastWrite)});
        }
    }
    for (const auto& [path, key] : after) {
        if (before.find(path) == before.end()) {
            changes.push_back({"added", path, std::to_string(key.values.size()) + " values"});
        }
    }
    return changes;
}

} // namespace driver
