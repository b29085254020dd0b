// The error a text file raises when it cannot be opened or read. Platform-free.
#pragma once

#include <stdexcept>
#include <string>

namespace framework {

class FileError : public std::runtime_error {
public:
    FileError(std::string path, std::string cause)
        : std::runtime_error("The file " + path + " could not be read: " + cause), path_(std::move(path)),
          cause_(std::move(cause)) {}

    const std::string& Path() const noexcept { return path_; }
    const std::string& Cause() const noexcept { return cause_; }

private:
    std::string path_;
    std::string cause_;
};

} // namespace framework
