// Fuzz target: the benchmark log's last line and the frame rate read from it.
// Any bytes, read in chunks of any size, must split into the lines of the text;
// the last line must be the newest part of the last of them (after its last
// CR, for a log written with CR line ends); the value must be the number that the
// C library's strtod reads from the same decimal-only text: from the at most
// eleven characters after the first '=', or the first ten of a line without one.
//
// Input: chunk size, read pattern; then the log's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "bench/LogValue.h"
#include "framework/LineSource.h"

namespace {

// The characters a decimal number and the blanks before it are made of. Within
// them strtod can read nothing but a decimal number: no "0x", "inf" or "nan".
constexpr char kDecimalCharacters[] = " \t\n\v\f\r+-.0123456789eE";

// strtod over the longest prefix of `text` made of decimal characters only.
double ReferenceDecimal(const std::string& text) {
    const std::string decimalOnly = text.substr(0, text.find_first_not_of(kDecimalCharacters));
    return std::strtod(decimalOnly.c_str(), nullptr);
}

// The cut as the log reading describes it, in the signed arithmetic of its
// string positions: start p + 1, count p + 11 clamped to the line, then its
// first eleven characters; p is the first '=' or -1.
std::string ReferenceValueText(const std::string& line) {
    const long long length = static_cast<long long>(line.size());
    const std::size_t found = line.find('=');
    const long long p = found == std::string::npos ? -1 : static_cast<long long>(found);
    const long long first = p + 1;
    long long count = p + 11;
    if (first >= length) {
        return std::string();
    }
    if (count > length - first) {
        count = length - first;
    }
    std::string valueText = line.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
    return valueText.substr(0, 11);
}

// A log written with CR alone as its line end reads as one line: its newest part
// is the text after the last CR, one CR at the very end not counted.
std::string NewestPart(std::string line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    const std::size_t lastCr = line.rfind('\r');
    return lastCr == std::string::npos ? line : line.substr(lastCr + 1);
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Shown(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

void CheckDecimal(const std::string& text) {
    const double value = bench::ParseLeadingDecimal(text);
    const double expected = ReferenceDecimal(text);
    FUZZ_CHECK(SameBits(value, expected), "ParseLeadingDecimal(" + fuzz::Quoted(text) +
                                              ") = " + Shown(value) + ", strtod " + Shown(expected));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const std::size_t chunkBytes = fuzz::ChunkBytesFrom(input.Byte());
    const std::uint8_t readPattern = input.Byte();
    const std::string text = input.Rest();
    const std::vector<std::string> lines = fuzz::ReferenceLines(text);

    // The lines of the log, whatever the chunks.
    {
        fuzz::ChunkedText source(text, chunkBytes, readPattern);
        const std::vector<std::string> read = fuzz::AllLines(source);
        FUZZ_CHECK(read == lines, "text " + fuzz::Quoted(text) + "\nread as\n" + fuzz::Joined(read) +
                                      "expected\n" + fuzz::Joined(lines));
    }

    // The last line.
    fuzz::ChunkedText source(text, chunkBytes, readPattern);
    const std::string lastLine = bench::ReadLastLine(source);
    const std::string expectedLastLine = NewestPart(lines.empty() ? std::string() : lines.back());
    FUZZ_CHECK(lastLine == expectedLastLine,
               "last line " + fuzz::Quoted(lastLine) + " expected " + fuzz::Quoted(expectedLastLine));
    framework::TextLineSource memory(text);
    FUZZ_CHECK(bench::ReadLastLine(memory) == expectedLastLine, "last line in memory");

    // The value from it.
    const std::string valueText = ReferenceValueText(lastLine);
    FUZZ_CHECK(valueText.size() <= 11, fuzz::Quoted(valueText));
    const double fps = bench::ExtractSceneFps(lastLine);
    const double expectedFps = ReferenceDecimal(valueText);
    FUZZ_CHECK(SameBits(fps, expectedFps), "ExtractSceneFps(" + fuzz::Quoted(lastLine) + ") = " + Shown(fps) +
                                               ", expected " + Shown(expectedFps) + " from " +
                                               fuzz::Quoted(valueText));

    // The conversion on its own, over text of any length.
    CheckDecimal(valueText);
    CheckDecimal(lastLine);
    CheckDecimal(text);
    return 0;
}
