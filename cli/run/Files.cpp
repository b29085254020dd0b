// Output files and reports read whole.
#include "cli/run/Files.h"

#include <windows.h>

#include "framework/SystemError.h"

namespace cli {

bool OutputFile::Create(const std::string& path, std::string& problem) {
    path_ = path;
    file_.reset(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        problem = framework::SystemErrorText(::GetLastError());
        return false;
    }
    return true;
}

bool OutputFile::Write(const std::string& text, std::string& problem) {
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(text.size() - done);
        if (!::WriteFile(file_.get(), text.data() + done, chunk, &written, nullptr) || written == 0) {
            problem = framework::SystemErrorText(::GetLastError());
            file_.reset();
            return false;
        }
        done += written;
    }
    file_.reset();
    return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                         std::string& problem) {
    const framework::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        problem = "no such file, or it cannot be read";
        return std::nullopt;
    }
    std::string text;
    char buffer[16384];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
            problem = "no such file, or it cannot be read";
            return std::nullopt;
        }
        if (read == 0) {
            return text;
        }
        text.append(buffer, read);
        if (text.size() > maxBytes) {
            problem = "it is larger than any report (64 MiB)";
            return std::nullopt;
        }
    }
}

} // namespace cli
