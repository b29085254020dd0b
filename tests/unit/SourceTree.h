// Files of the source tree that the unit tests read: cpudef.dat, CPUID dumps, the
// JSON report's schema.
#pragma once

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#ifndef KORVANE_SOURCE_DIR
#error "KORVANE_SOURCE_DIR must name the source tree"
#endif

namespace sourcetree {

// A path in the source tree. A Windows build runs under Wine, which shows the
// Unix file system as drive Z:.
inline std::string SourcePath(const std::string& relative) {
    std::string root = KORVANE_SOURCE_DIR;
#if defined(_WIN32)
    if (!root.empty() && root[0] == '/') {
        root = "Z:" + root;
    }
#endif
    return root + "/" + relative;
}

// The file's bytes, or nothing when it cannot be opened.
inline std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace sourcetree
