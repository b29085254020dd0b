// The system's own wording for an error code.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

// FormatMessage text for `code`, without the trailing line break; "error N" when the system has none.
std::string SystemErrorText(DWORD code);

} // namespace framework
