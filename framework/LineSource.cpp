// Line splitting shared by the file reader and the in-memory line source.
#include "framework/LineSource.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace framework {

ChunkLineReader::ChunkLineReader(ReadFunction read, std::size_t chunkBytes, std::size_t maxLineBytes)
    : read_(std::move(read)), chunk_(chunkBytes == 0 ? 1 : chunkBytes), maxLineBytes_(maxLineBytes) {}

void ChunkLineReader::Keep(std::string& line, const char* start, std::size_t length) {
    line.append(start, std::min(length, maxLineBytes_ - std::min(line.size(), maxLineBytes_)));
}

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
    cut_ = false;
    bool readAnything = false;
    bool endedByLf = false;
    std::size_t total = 0; // the line's bytes, kept or not
    char lastByte = '\0';
    for (;;) {
        if (begin_ == end_ && !Refill()) {
            break;
        }
        const char* start = chunk_.data() + begin_;
        const std::size_t available = end_ - begin_;
        const void* newline = std::memchr(start, '\n', available);
        const std::size_t length = newline != nullptr
                                       ? static_cast<std::size_t>(static_cast<const char*>(newline) - start)
                                       : available;
        Keep(line, start, length);
        total += length;
        lastByte = length > 0 ? start[length - 1] : lastByte;
        readAnything = true;
        if (newline != nullptr) {
            begin_ += length + 1;
            endedByLf = true;
            break;
        }
        begin_ = end_;
    }
    if (!readAnything) {
        return false;
    }
    // Text mode: the CR of a CR LF pair belongs to the terminator; a CR alone stays.
    if (endedByLf && total > 0 && lastByte == '\r') {
        if (line.size() == total) {
            line.pop_back();
        }
        --total;
    }
    cut_ = total > maxLineBytes_;
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
