// The system's conversions between its code page, UTF-16 and UTF-8.
#include "cli/run/Encoding.h"

#include <windows.h>

#include <vector>

namespace cli {

namespace {

// `text` from one code page to another through UTF-16.
std::string Converted(const std::string& text, UINT from, UINT to) {
    if (text.empty()) {
        return text;
    }
    const int wideLength =
        ::MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wideLength <= 0) {
        return text;
    }
    std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
    ::MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
    const int length = ::WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return text;
    }
    std::string converted(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(to, 0, wide.data(), wideLength, &converted[0], length, nullptr, nullptr);
    return converted;
}

} // namespace

std::string AnsiToUtf8(const std::string& text) {
    return Converted(text, CP_ACP, CP_UTF8);
}

std::string Utf8ToAnsi(const std::string& text) {
    return Converted(text, CP_UTF8, CP_ACP);
}

} // namespace cli
