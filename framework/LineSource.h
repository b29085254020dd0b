// Text lines read one at a time, the way the program reads every text file:
// a line ends with CR LF or LF, the terminator is not part of it, and a last
// line without a terminator is still a line. A line is kept up to
// kMaxLineBytes; the rest of a longer one is read past and dropped, and the
// line says it was cut, so that no file's content can make a line of any size.
// Platform-free.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace framework {

// No line of a file the program reads (a benchmark log, cpudef.dat) comes near this.
constexpr std::size_t kMaxLineBytes = std::size_t{64} * 1024;

class LineSource {
public:
    virtual ~LineSource() = default;
    // Reads the next line into `line`; false at the end of the text (`line` is then empty).
    virtual bool ReadLine(std::string& line) = 0;
    // True when the line ReadLine gave last was longer than kMaxLineBytes and is its first kMaxLineBytes.
    virtual bool LineWasCut() const { return false; }
};

// Splits bytes that a read function delivers in chunks into lines.
class ChunkLineReader : public LineSource {
public:
    // Fills at most `size` bytes of `buffer`, returns how many; 0 at the end. May throw.
    using ReadFunction = std::function<std::size_t(char* buffer, std::size_t size)>;

    explicit ChunkLineReader(ReadFunction read, std::size_t chunkBytes = std::size_t{64} * 1024,
                             std::size_t maxLineBytes = kMaxLineBytes);
    bool ReadLine(std::string& line) override;
    bool LineWasCut() const override { return cut_; }

private:
    bool Refill();
    // Appends what still fits of `length` bytes at `start`.
    void Keep(std::string& line, const char* start, std::size_t length);

    ReadFunction read_;
    std::vector<char> chunk_;
    std::size_t maxLineBytes_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    bool cut_ = false;
};

// The lines of a text held in memory.
class TextLineSource : public LineSource {
public:
    explicit TextLineSource(std::string text);
    bool ReadLine(std::string& line) override;
    bool LineWasCut() const override { return reader_.LineWasCut(); }

private:
    std::string text_;
    std::size_t offset_ = 0;
    ChunkLineReader reader_;
};

} // namespace framework
