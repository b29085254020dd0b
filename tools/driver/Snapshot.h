// What a program may have written, seen from outside: every file under a folder
// with its size and last-write time, and the registry's keys with their values,
// taken before and after and compared.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace driver {

struct FileState {
    bool folder = false;
    unsigned long long sizeBytes = 0;
    unsigned long long lastWrite = 0; // FILETIME as one number
};

// Path (lower case) to state, for everything under a folder.
using FileTree = std::map<std::string, FileState>;

// Every file and folder under `root`, the root itself not included. Folders that
// are links (reparse points, as Wine shows the links of the user's folders to
// the Unix home folder) are listed but not entered.
FileTree SnapshotFiles(const std::string& root);

struct RegistryValueState {
    DWORD type = REG_NONE;
    std::string data;
    bool operator==(const RegistryValueState& other) const {
        return type == other.type && data == other.data;
    }
    bool operator!=(const RegistryValueState& other) const { return !(*this == other); }
};

struct RegistryKeyState {
    unsigned long long lastWrite = 0;
    bool readable = true;
    std::map<std::string, RegistryValueState> values; // by name (lower case)
};

// Key path (lower case, "HKLM\..." or "HKU\...") to state.
using RegistryTree = std::map<std::string, RegistryKeyState>;

// Every key under HKEY_LOCAL_MACHINE and HKEY_USERS (which holds the current
// user's keys) in the native view, which includes the 32-bit view's Wow6432Node.
// Symbolic links between keys are read as keys of their own and not followed.
RegistryTree SnapshotRegistry();

// One difference between two snapshots.
struct Change {
    std::string what; // "added", "removed", "changed", "time"
    std::string path;
    std::string detail;
};

std::vector<Change> CompareFiles(const FileTree& before, const FileTree& after);
std::vector<Change> CompareRegistry(const RegistryTree& before, const RegistryTree& after);

} // namespace driver
