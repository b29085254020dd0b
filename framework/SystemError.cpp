// The system's own wording for an error code.
#include "framework/SystemError.h"

#include "framework/Format.h"

namespace framework {

std::string SystemErrorText(DWORD code) {
    char buffer[512] = {};
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          code, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = Format("error %lu", static_cast<unsigned long>(code));
    }
    return text;
}

} // namespace framework
