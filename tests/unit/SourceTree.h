// Files of the source tree the unit tests read: cpudef.dat, CPUID dumps, the
// tables and the expected files of tests/data, which KORVANE_WRITE_EXPECTED=1 writes afresh
// instead (to be read over before they are committed).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

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

// Expects `text` to be, byte for byte, the file tests/data/`name`.
inline void ExpectFile(const std::string& name, const std::string& text) {
    const std::string path = SourcePath("tests/data/" + name);
    if (std::getenv("KORVANE_WRITE_EXPECTED") != nullptr) {
        EXPECT_TRUE(std::ofstream(path, std::ios::binary) << text) << path;
        return;
    }
    const std::optional<std::string> expected = ReadBytes(path);
    EXPECT_TRUE(expected) << "no file " << path;
    EXPECT_EQ(text, expected.value_or("")) << path;
}

// The rows of the table tests/data/`name`: its lines but blank ones and those
// starting with '#', each cut at its tabs.
inline std::vector<std::vector<std::string>> ReadTable(const std::string& name) {
    std::ifstream file(SourcePath("tests/data/" + name), std::ios::binary);
    EXPECT_TRUE(file) << "no table " << name;
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line[0] != '#') {
            rows.emplace_back();
            std::istringstream fields(line);
            for (std::string field; std::getline(fields, field, '\t');) {
                rows.back().push_back(field);
            }
        }
    }
    return rows;
}

} // namespace sourcetree
