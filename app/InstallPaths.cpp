// The install paths and the checks on the registry's answer.
#include "app/InstallPaths.h"

#include <cstring>

namespace app {

InstallPaths& GameInstall() {
    static InstallPaths paths;
    return paths;
}

InstallPaths MakeInstallPaths(const std::string& gameFolder) {
    InstallPaths paths;
    paths.gameExecutable = gameFolder + "\\system\\UT2003.exe";
    paths.systemFolder = gameFolder + "\\system";
    paths.gameFolder = gameFolder;
    return paths;
}

std::optional<std::string> FolderFromQuery(long status, unsigned long type, const char* data,
                                           unsigned long size) {
    if (status != 0 || type != kRegistryStringType || data == nullptr || size > kFolderBufferBytes) {
        return std::nullopt;
    }
    // The stored string need not carry its terminating zero; the text ends at the
    // first zero, or with the returned bytes.
    const void* zero = std::memchr(data, '\0', size);
    const std::size_t length =
        zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - data) : size;
    if (length >= kFolderBufferBytes) {
        return std::nullopt;
    }
    return std::string(data, length);
}

} // namespace app
