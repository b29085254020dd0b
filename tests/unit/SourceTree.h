// Files of the source tree the unit tests read: cpudef.dat, CPUID dumps, the
// tables and the expected files of tests/data, which KORVANE_WRITE_EXPECTED=1 writes afresh
// instead (to be read over before they are committed).
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
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

// Whether `text` and `expected` differ only in the last digits of decimal
// fractions: the same text around them, and each pair within a relative 1e-12.
// The 32-bit Windows build computes with the x87 unit, whose intermediate
// precision moves the last digit or two of a confidence interval or a geometric
// mean away from what the native build wrote into the expected file.
inline bool DifferOnlyInLastDigits(const std::string& text, const std::string& expected) {
    const auto numberAt = [](const std::string& s, std::size_t at) {
        const std::size_t digit = at + (s[at] == '-' ? 1 : 0);
        return digit < s.size() && s[digit] >= '0' && s[digit] <= '9' &&
               (at == 0 || !(std::isalnum(static_cast<unsigned char>(s[at - 1])) || s[at - 1] == '.'));
    };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < text.size() && j < expected.size()) {
        if (numberAt(text, i) && numberAt(expected, j)) {
            char* textEnd = nullptr;
            char* expectedEnd = nullptr;
            const double a = std::strtod(text.c_str() + i, &textEnd);
            const double b = std::strtod(expected.c_str() + j, &expectedEnd);
            const std::string tokenA(text, i, static_cast<std::size_t>(textEnd - (text.c_str() + i)));
            const std::string tokenB(expected, j,
                                     static_cast<std::size_t>(expectedEnd - (expected.c_str() + j)));
            if (tokenA != tokenB &&
                (tokenA.find('.') == std::string::npos || tokenB.find('.') == std::string::npos ||
                 std::fabs(a - b) > 1e-12 * std::fmax(std::fabs(a), std::fabs(b)))) {
                return false;
            }
            i += tokenA.size();
            j += tokenB.size();
        } else if (text[i++] != expected[j++]) {
            return false;
        }
    }
    return i == text.size() && j == expected.size();
}

// Expects `text` to be, byte for byte, the file tests/data/`name` (in the 32-bit
// Windows build, up to the last digits of decimal fractions).
inline void ExpectFile(const std::string& name, const std::string& text) {
    const std::string path = SourcePath("tests/data/" + name);
    if (std::getenv("KORVANE_WRITE_EXPECTED") != nullptr) {
        EXPECT_TRUE(std::ofstream(path, std::ios::binary) << text) << path;
        return;
    }
    const std::optional<std::string> expected = ReadBytes(path);
    EXPECT_TRUE(expected) << "no file " << path;
#if defined(_WIN32) && defined(__i386__)
    if (expected && text != *expected && DifferOnlyInLastDigits(text, *expected)) {
        return;
    }
#endif
    EXPECT_EQ(text, expected.value_or("")) << path;
}

// `text` cut at each `separator`; nothing for an empty text.
inline std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);) {
        parts.push_back(part);
    }
    return parts;
}

// `text` with each `name` in it made `value`.
inline std::string Replaced(std::string text, const std::string& name, const std::string& value) {
    for (std::size_t at = 0; (at = text.find(name, at)) != std::string::npos; at += value.size()) {
        text.replace(at, name.size(), value);
    }
    return text;
}

// The rows of the table tests/data/`name`: its lines but blank ones and those
// starting with '#', each cut at its tabs.
inline std::vector<std::vector<std::string>> ReadTable(const std::string& name) {
    std::ifstream file(SourcePath("tests/data/" + name), std::ios::binary);
    EXPECT_TRUE(file) << "no table " << name;
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line[0] != '#') {
            rows.push_back(Split(line, '\t'));
        }
    }
    return rows;
}

// The numbers of a table's field, separated by blanks.
inline std::vector<double> Numbers(const std::string& field) {
    std::vector<double> numbers;
    for (const std::string& number : Split(field, ' ')) {
        numbers.push_back(std::stod(number));
    }
    return numbers;
}

// A table's number, or none for "-".
inline std::optional<double> NumberOrNone(const std::string& field) {
    return field == "-" ? std::nullopt : std::optional<double>(std::stod(field));
}

// A table's `field` with the escapes \n, \r, \t, \\ and \xHH made the bytes they
// stand for (only in the tables whose first lines say so).
inline std::string Unescaped(const std::string& field) {
    std::string text;
    for (std::size_t at = 0; at < field.size(); ++at) {
        const char c = field[at] == '\\' && at + 1 < field.size() ? field[++at] : '\0';
        if (c == 'x') {
            text += static_cast<char>(std::stoi(field.substr(at + 1, 2), nullptr, 16));
            at += 2;
        } else {
            text += c == '\0' ? field[at] : c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        }
    }
    return text;
}

} // namespace sourcetree
