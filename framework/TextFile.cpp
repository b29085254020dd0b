// Read-only text file reader over CreateFile and ReadFile.
#include "framework/TextFile.h"

#include <utility>

#include "framework/SystemError.h"

namespace framework {

TextFileReader::TextFileReader(std::string path)
    : path_(std::move(path)),
      reader_([this](char* buffer, std::size_t size) { return ReadBytes(buffer, size); }) {
    file_.reset(::CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_) {
        throw FileError(path_, SystemErrorText(::GetLastError()));
    }
}

std::size_t TextFileReader::ReadBytes(char* buffer, std::size_t size) {
    if (!file_) {
        return 0;
    }
    DWORD got = 0;
    const DWORD want = size > 0x10000000u ? 0x10000000u : static_cast<DWORD>(size);
    if (!::ReadFile(file_.get(), buffer, want, &got, nullptr)) {
        throw FileError(path_, SystemErrorText(::GetLastError()));
    }
    return got;
}

bool TextFileReader::ReadLine(std::string& line) {
    return reader_.ReadLine(line);
}

} // namespace framework
