// The benchmark log's last line: which line is last, the eleven characters the
// window reads after the first '=', and their atof-like conversion at the limits
// of a double.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "SourceTree.h"
#include "bench/LogValue.h"
#include "framework/LineSource.h"

namespace {

// tests/data/log-last-lines.txt, then lines at and past the bound.
TEST(LogValueTest, LastLineOfTheLog) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("log-last-lines.txt")) {
        framework::TextLineSource lines(sourcetree::Unescaped(row[0]));
        EXPECT_EQ(bench::ReadLastLine(lines), sourcetree::Unescaped(row.size() > 1 ? row[1] : "")) << row[0];
    }
    // A last line at the bound is read (CR LF or not); a longer one makes the log
    // unreadable, however long it is; a long line before the last one is read past.
    const std::string atBound(framework::kMaxLineBytes, 'x');
    const std::pair<std::string, std::optional<std::string>> lengths[] = {
        {atBound, atBound},
        {atBound + "\r\n", atBound},
        {"a = 1\n" + atBound + "y", std::nullopt},
        {atBound + "y\r\n", std::nullopt},
        {atBound + std::string(3 * framework::kMaxLineBytes, 'y') + "\n", std::nullopt},
        {atBound + "y\r\nScore = 41.5\r\n", "Score = 41.5"},
    };
    for (const auto& [text, last] : lengths) {
        // Chunks smaller and larger than the bound.
        for (const std::size_t chunk : {std::size_t{1000}, std::size_t{3} * framework::kMaxLineBytes}) {
            framework::ChunkLineReader lines(
                [&text, at = std::size_t{0}](char* buffer, std::size_t size) mutable {
                    const std::size_t count = std::min(size, text.size() - at);
                    std::memcpy(buffer, text.data() + at, count);
                    at += count;
                    return count;
                },
                chunk);
            if (last) {
                EXPECT_EQ(bench::ReadLastLine(lines), *last) << text.size() << " bytes";
            } else {
                EXPECT_THROW(bench::ReadLastLine(lines), bench::LastLineTooLong) << text.size() << " bytes";
            }
        }
    }
}

// tests/data/log-values.txt, and the text the value is read from.
TEST(LogValueTest, ValueAfterTheFirstEquals) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("log-values.txt")) {
        EXPECT_EQ(bench::ExtractSceneFps(row[0]), std::strtod(row.at(1).c_str(), nullptr)) << row[0];
    }
    EXPECT_EQ(bench::SceneValueText("Score = 41.7625271234"), " 41.7625271");
    EXPECT_EQ(bench::SceneValueText("123456789012345"), "1234567890");
}

// tests/data/log-decimals.txt.
TEST(LogValueTest, LongestDecimalPrefixAsTheCRuntimeWouldConvertIt) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("log-decimals.txt")) {
        const double parsed = bench::ParseLeadingDecimal(sourcetree::Unescaped(row[0]));
        const double value = std::strtod(row.at(1).c_str(), nullptr);
        EXPECT_EQ(parsed, value) << row[0].substr(0, 40);
        EXPECT_EQ(std::signbit(parsed), std::signbit(value)) << row[0].substr(0, 40);
    }
}

} // namespace
