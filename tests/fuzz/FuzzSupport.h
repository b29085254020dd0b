// Shared pieces of the fuzz targets: a check that stops the run when a property
// does not hold, the fuzz input read as a few control bytes followed by text, a
// line reader fed in chunks whose sizes the input chooses, and the text-mode line
// splitting written out plainly, to compare the readers against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "framework/LineSource.h"

namespace fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const char* condition, const std::string& detail) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n%s\n", file, line, condition, detail.c_str());
    std::abort();
}

// Aborts with the condition and `detail` (evaluated only on failure).
#define FUZZ_CHECK(condition, detail)                                                                        \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            ::fuzz::Fail(__FILE__, __LINE__, #condition, (detail));                                          \
        }                                                                                                    \
    } while (0)

// A text with its unprintable bytes escaped, for failure messages.
inline std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\' || byte == '"') {
            quoted += '\\';
            quoted += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            quoted += c;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            quoted += escape;
        }
    }
    return quoted + "\"";
}

// The fuzz input: control bytes taken from the front, then the rest as text.
// Past the end every control byte reads as 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return offset_ < size_ ? data_[offset_++] : 0; }

    std::uint16_t Word16() {
        const std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | (Byte() << 8));
    }

    std::uint32_t Word32() {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            value |= static_cast<std::uint32_t>(Byte()) << shift;
        }
        return value;
    }

    // Up to `count` bytes as text.
    std::string Text(std::size_t count) {
        const std::size_t taken = count < size_ - offset_ ? count : size_ - offset_;
        std::string text(reinterpret_cast<const char*>(data_ + offset_), taken);
        offset_ += taken;
        return text;
    }

    std::string Rest() { return Text(size_ - offset_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

// The chunk size a control byte asks for: 0 (which the reader must treat as 1),
// 1 to 254 bytes, or the reader's default.
inline std::size_t ChunkBytesFrom(std::uint8_t control) {
    if (control == 255) {
        return 64 * 1024;
    }
    return control;
}

// A ChunkLineReader over a text in memory whose read function hands out fewer
// bytes than asked for, in sizes that follow from `readPattern`, as a file read
// by pieces does.
class ChunkedText : public framework::LineSource {
public:
    ChunkedText(std::string text, std::size_t chunkBytes, std::uint8_t readPattern)
        : text_(std::move(text)), state_(readPattern | 0x100u),
          reader_([this](char* buffer, std::size_t size) { return Read(buffer, size); }, chunkBytes) {}

    ChunkedText(const ChunkedText&) = delete;
    ChunkedText& operator=(const ChunkedText&) = delete;

    bool ReadLine(std::string& line) override { return reader_.ReadLine(line); }

    int readsAfterEnd = 0;

private:
    std::size_t Read(char* buffer, std::size_t size) {
        FUZZ_CHECK(size > 0, "the reader asked for 0 bytes");
        if (offset_ == text_.size()) {
            ++readsAfterEnd;
            return 0;
        }
        // A small xorshift decides how much of the asked size this read delivers.
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        std::size_t count = 1 + state_ % size;
        if (count > text_.size() - offset_) {
            count = text_.size() - offset_;
        }
        std::memcpy(buffer, text_.data() + offset_, count);
        offset_ += count;
        return count;
    }

    std::string text_;
    std::size_t offset_ = 0;
    std::uint32_t state_;
    framework::ChunkLineReader reader_;
};

// The lines of `text` as the line readers promise them: a line ends with LF or
// CR LF, the terminator is not part of it, and a last line without terminator
// is still a line. Any other CR is part of the line.
inline std::vector<std::string> ReferenceLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t newline = text.find('\n', begin);
        if (newline == std::string::npos) {
            lines.push_back(text.substr(begin));
            break;
        }
        std::size_t end = newline;
        if (end > begin && text[end - 1] == '\r') {
            --end;
        }
        lines.push_back(text.substr(begin, end - begin));
        begin = newline + 1;
    }
    return lines;
}

// Reads every line from `source`, checking that the line is emptied at the end
// and that the end stays the end.
inline std::vector<std::string> AllLines(framework::LineSource& source) {
    std::vector<std::string> lines;
    std::string line;
    while (source.ReadLine(line)) {
        lines.push_back(line);
    }
    FUZZ_CHECK(line.empty(), "line not emptied at the end: " + Quoted(line));
    line = "sentinel";
    FUZZ_CHECK(!source.ReadLine(line), "a line after the end");
    FUZZ_CHECK(line.empty(), "line not emptied on a read after the end");
    return lines;
}

inline std::string Joined(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        joined += Quoted(line) + "\n";
    }
    return joined;
}

} // namespace fuzz
