// Texts of the system's ANSI code page (file names, the system's own texts) as
// the UTF-8 of korvane-cli's JSON files and pages. Win32.
#pragma once

#include <string>

namespace cli {

// `text` of the ANSI code page as UTF-8; as it is when the system cannot convert it.
std::string AnsiToUtf8(const std::string& text);

// `text` of UTF-8 in the ANSI code page; as it is when the system cannot convert it.
std::string Utf8ToAnsi(const std::string& text);

} // namespace cli
