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

TEST(LogValueTest, LongestDecimalPrefixAsTheCRuntimeWouldConvertIt) {
    const std::pair<std::string, double> cases[] = {
        // clang-format off
        {"42", 42.0}, {"41.762527", 41.762527}, {".5", 0.5}, {"123.", 123.0}, {"000123.25", 123.25},
        {"+17.5", 17.5}, {"-17.5", -17.5}, {"9.99", 9.99},
        {"3.14159265358979323846264338327950288", 3.14159265358979323846}, {"\t\n\v\f\r 8.25", 8.25},
        {"- 8.25", 0.0}, {"41.762527 (x)", 41.762527}, {"", 0.0}, {"           ", 0.0}, {".", 0.0},
        {"-", 0.0}, {".e5", 0.0}, {"+-3", 0.0}, {"1.5e2", 150.0}, {"1.5E2", 150.0}, {"25e-1", 2.5},
        {"25e+1", 250.0}, {"7e", 7.0}, {"7e+", 7.0}, {"7e-x", 7.0}, {"1d5", 1.0}, {"1.2.3", 1.2},
        {"0x10", 0.0}, {"inf", 0.0}, {"-INFINITY", 0.0}, {"nan(123)", 0.0},
        {"1.7976931348623157e308", 1.7976931348623157e308},
        {"4.9406564584124654e-324", 4.9406564584124654e-324}, {"0e99999", 0.0}, {"1e999", HUGE_VAL},
        {"-1e999", -HUGE_VAL}, {std::string(400, '9'), HUGE_VAL}, {"0000.0001e400", HUGE_VAL},
        {"1e99999999999999999999999", HUGE_VAL}, {"1e-999", 0.0}, {"-1e-999", -0.0},
        {"0." + std::string(400, '0') + "1", 0.0}, {"5e-99999999999999999999999", 0.0},
        {"0." + std::string(400, '0') + "1e400", 1e-1},
        // clang-format on
    };
    for (const auto& [text, value] : cases) {
        const double parsed = bench::ParseLeadingDecimal(text);
        EXPECT_EQ(parsed, value) << text.substr(0, 40);
        EXPECT_EQ(std::signbit(parsed), std::signbit(value)) << text.substr(0, 40);
    }
    // Correctly rounded, not just close: the bits of frame rates.
    const std::pair<const char*, unsigned long long> bits[] = {{"41.762527", 0x4044E19A7C17A893ull},
                                                               {"123.4567890", 0x405EDD3C07EE0B0Bull},
                                                               {"0.1", 0x3FB999999999999Aull},
                                                               {"44.9", 0x4046733333333333ull}};
    for (const auto& [text, expected] : bits) {
        const double value = bench::ParseLeadingDecimal(text);
        unsigned long long actual = 0;
        std::memcpy(&actual, &value, sizeof actual);
        EXPECT_EQ(actual, expected) << text;
    }
}

} // namespace
