// The system's description of an error code, for failure messages.
#pragma once

#include <windows.h>

#include <string>

namespace driver {

// "<message> (error <code>)" for `code`.
std::string ErrorText(DWORD code);
// ErrorText of GetLastError.
std::string LastErrorText();

} // namespace driver
