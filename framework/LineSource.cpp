// Line splitting shared by the file reader and the in-memory line source.
#include "framework/LineSource.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace framework {

ChunkLineReader::ChunkLineReader(ReadFunction read, std::size_t chunkBytes)
    : read_(std::move(read)), chunk_(chunkBytes == 0 ? 1 : chunkBytes) {}

bool ChunkLineReader::Refill() {
    if (atEnd_) {
        return false;
    }
    begin_ = 0;
    end_ = read_(chunk_.data(), chunk_.size());
    if (end_ == 0) {
        atEnd_ = true;
        return false;
    }
    return true;
}

bool ChunkLineReader::ReadLine(std::string& line) {
    line.clear();
    bool readAnything = false;
    bool endedByLf = false;
    for (;;) {
        if (begin_ == end_ && !Refill()) {
            break;
        }
        const char* start = chunk_.data() + begin_;
        const std::size_t available = end_ - begin_;
        const void* newline = std::memchr(start, '\n', available);
        if (newline != nullptr) {
            const auto length = static_cast<std::size_t>(static_cast<const char*>(newline) - start);
            line.append(start, length);
            begin_ += length + 1;
            readAnything = true;
            endedByLf = true;
            break;
        }
        line.append(start, available);
        begin_ = end_;
        readAnything = true;
    }
    if (!readAnything) {
        return false;
    }
    // Text mode: the CR of a CR LF pair belongs to the terminator; a CR alone stays.
    if (endedByLf && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

TextLineSource::TextLineSource(std::string text)
    : text_(std::move(text)), reader_([this](char* buffer, std::size_t size) {
          const std::size_t count = std::min(size, text_.size() - offset_);
          std::memcpy(buffer, text_.data() + offset_, count);
          offset_ += count;
          return count;
      }) {}

bool TextLineSource::ReadLine(std::string& line) {
    return reader_.ReadLine(line);
}

} // namespace framework
