// The benchmark log's path and stamp.
#include "bench/BenchmarkLog.h"

#include <windows.h>

namespace bench {

std::string LogPathFor(const std::string& gameFolder) {
    return gameFolder + "\\benchmark\\benchmark.log";
}

LogStamp StampLog(const std::string& path) {
    LogStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        stamp.exists = true;
        stamp.sizeBytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        stamp.lastWrite = (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                          data.ftLastWriteTime.dwLowDateTime;
    }
    return stamp;
}

} // namespace bench
