// The files korvane-cli reads and writes: an output file the user named, and a
// report read whole up to a bound. Win32.
#pragma once

#include <optional>
#include <string>

#include "framework/Handles.h"

namespace cli {

// An output file the user named: created (emptied) first, so that a name that
// cannot be written is found at once, and filled once.
class OutputFile {
public:
    // False, with the system's reason, when the file cannot be created.
    bool Create(const std::string& path, std::string& problem);
    bool IsOpen() const noexcept { return static_cast<bool>(file_); }
    const std::string& Path() const noexcept { return path_; }
    // Writes `text` and closes the file; false, with the reason, when it could not.
    bool Write(const std::string& text, std::string& problem);

private:
    std::string path_;
    framework::UniqueFile file_;
};

// The file's bytes, at most `maxBytes` of them; none, with what is wrong in
// `problem`, when it cannot be read or is larger.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& problem);

} // namespace cli
