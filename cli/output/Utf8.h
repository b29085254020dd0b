// The texts korvane-cli writes into its UTF-8 files. Platform-free: the
// conversion from the system's code page is handed in.
#pragma once

#include <functional>
#include <string>

namespace cli {

// Turns the program's texts (file names, the system's texts: the ANSI code page) into UTF-8.
using Utf8Converter = std::function<std::string(const std::string& text)>;

// `text` through `toUtf8`, or as it is when there is no converter.
inline std::string InUtf8(const Utf8Converter& toUtf8, const std::string& text) {
    return toUtf8 ? toUtf8(text) : text;
}

// `text` as well-formed UTF-8: a byte that does not belong to a well-formed
// UTF-8 sequence is taken as the Latin-1 character of that value.
std::string WellFormedUtf8(const std::string& text);

} // namespace cli
