// Where the UT2003 demo is installed: the three process-wide paths that the
// benchmark run uses, and the rule that turns the registry's answer into them.
// Platform-free; the registry lookup itself is in InstallLookup.cpp.
#pragma once

#include <optional>
#include <string>

namespace app {

struct InstallPaths {
    std::string gameExecutable; // gameFolder + "\system\UT2003.exe"
    std::string systemFolder;   // gameFolder + "\system"
    std::string gameFolder;     // the registry value, character for character
};

// The process-wide paths; empty until the installation lookup has run.
InstallPaths& GameInstall();

// Joins plain text: no separator is added, removed or doubled.
InstallPaths MakeInstallPaths(const std::string& gameFolder);

// The registry value "Folder" is read into a buffer of this many bytes.
constexpr unsigned long kFolderBufferBytes = 100;
// The registry's string type (REG_SZ).
constexpr unsigned long kRegistryStringType = 1;

// The folder text from the answer of the "Folder" query, or nothing when the
// answer is not a usable folder: the query failed, the value is not a string, or
// it does not fit the buffer with its terminating zero (100 bytes or longer).
// `data` holds the `size` bytes the query returned.
std::optional<std::string> FolderFromQuery(long status, unsigned long type, const char* data,
                                           unsigned long size);

} // namespace app
