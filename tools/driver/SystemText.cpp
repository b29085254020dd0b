// Error texts for the driver's failure messages.
#include "driver/SystemText.h"

namespace driver {

std::string ErrorText(DWORD code) {
    char buffer[512] = {};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                    0, buffer, sizeof buffer, nullptr);
    while (length > 0 &&
           (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == ' ')) {
        --length;
    }
    return std::string(buffer, length) + " (error " + std::to_string(code) + ")";
}

std::string LastErrorText() {
    return ErrorText(::GetLastError());
}

} // namespace driver
