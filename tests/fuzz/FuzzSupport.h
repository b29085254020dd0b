// The fuzz targets' check, input and line readers fed by short reads, as from a file.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/LineSource.h"

#define FUZZ_CHECK(condition)                                                                                \
    ((condition)                                                                                             \
         ? void()                                                                                            \
         : (std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, #condition),     \
            std::abort()))

namespace fuzz {

// Control bytes from the front, little-endian, 0 past the end; then the rest as text.
struct Input {
    std::uint32_t Take(int bytes = 1) {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes && size > 0; ++i, --size) {
            value |= std::uint32_t{*data++} << (8 * i);
        }
        return value;
    }
    std::string Rest() const { return std::string(reinterpret_cast<const char*>(data), size); }
    const std::uint8_t* data;
    std::size_t size;
};

// Reads of `text`, each delivering fewer bytes than asked for, as `pattern` decides.
inline framework::ChunkLineReader::ReadFunction Pieces(const std::string& text, std::uint32_t pattern) {
    return [text, at = std::size_t{0}, state = pattern | 0x100u](char* buffer, std::size_t size) mutable {
        state = state * 1103515245u + 12345u;
        const std::size_t count = std::min(1 + (state >> 8) % size, text.size() - at);
        std::memcpy(buffer, text.data() + at, count);
        at += count;
        return count;
    };
}

// `text` read by pieces into chunks of 0 (taken as 1) to 254 bytes, or 64 KiB for 255.
inline framework::ChunkLineReader Chunked(const std::string& text, unsigned chunk, unsigned pattern) {
    return framework::ChunkLineReader(Pieces(text, pattern), chunk == 255 ? 64 * 1024 : chunk);
}

// The lines `source` has left; at the end the line is emptied, and the end stays.
inline std::vector<std::string> LinesLeft(framework::LineSource& source) {
    std::vector<std::string> lines;
    std::string line = "x";
    while (source.ReadLine(line)) {
        lines.push_back(line);
    }
    FUZZ_CHECK(line.empty() && !source.ReadLine(line));
    return lines;
}

// The lines of `source`, which reads `text`: each ended by LF, they are the text
// with each CR LF made LF (and an LF after its last line if it has none).
inline std::vector<std::string> CheckedLines(framework::LineSource&& source, std::string text) {
    const std::vector<std::string> lines = LinesLeft(source);
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) {
        text.erase(at, 1);
    }
    std::string joined;
    for (const std::string& line : lines) {
        joined += line + "\n";
    }
    text += text.empty() || text.back() == '\n' ? "" : "\n";
    FUZZ_CHECK(joined == text && lines.size() == std::size_t(std::count(text.begin(), text.end(), '\n')));
    return lines;
}

} // namespace fuzz
