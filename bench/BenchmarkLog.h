// The game's benchmark log: where it is, and the stamp that tells a result the
// game has just written from an old one (Win32). Reading the log's last line and
// its value are platform-free (LogValue.h).
#pragma once

#include <string>

namespace bench {

// The game's benchmark log for an installation folder (plain concatenation).
std::string LogPathFor(const std::string& gameFolder);

// The log's size and last-write time, taken before and after a scene to tell a
// result the game has just written from an old one.
struct LogStamp {
    bool exists = false;
    unsigned long long sizeBytes = 0;
    unsigned long long lastWrite = 0;

    bool operator==(const LogStamp& other) const noexcept {
        return exists == other.exists && sizeBytes == other.sizeBytes && lastWrite == other.lastWrite;
    }
    bool operator!=(const LogStamp& other) const noexcept { return !(*this == other); }
};
LogStamp StampLog(const std::string& path);

} // namespace bench
