// The benchmark log's last line: which line is last, the eleven characters the
// window reads after the first '=', and their atof-like conversion at the limits
// of a double.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "SourceTree.h"
#include "bench/LogValue.h"
#include "framework/LineSource.h"

namespace {

// tests/data/log-last-lines.txt, each log read whole and in chunks smaller and
// larger than the bound.
TEST(LogValueTest, LastLineOfTheLog) {
    const auto field = [](const std::string& text) {
        return sourcetree::Unescaped(
            sourcetree::Replaced(text, "{bound}", std::string(framework::kMaxLineBytes, 'x')));
    };
    const auto lastLine = [](framework::LineSource& lines) {
        try {
            return bench::ReadLastLine(lines);
        } catch (const bench::LastLineTooLong&) {
            return std::string("(too long)");
        }
    };
    for (const std::vector<std::string>& row : sourcetree::ReadTable("log-last-lines.txt")) {
        const std::string text = field(row[0]);
        const std::string last = field(row.size() > 1 ? row[1] : "");
        framework::TextLineSource whole(text);
        EXPECT_EQ(lastLine(whole), last) << row[0];
        for (const std::size_t chunk : {std::size_t{1000}, std::size_t{3} * framework::kMaxLineBytes}) {
            framework::ChunkLineReader lines(
                [&text, at = std::size_t{0}](char* buffer, std::size_t size) mutable {
                    const std::size_t count = std::min(size, text.size() - at);
                    std::memcpy(buffer, text.data() + at, count);
                    at += count;
                    return count;
                },
                chunk);
            EXPECT_EQ(lastLine(lines), last) << row[0] << " in chunks of " << chunk;
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
