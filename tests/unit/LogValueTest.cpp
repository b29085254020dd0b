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

#include "SourceTree.h"
#include "bench/LogValue.h"
#include "framework/LineSource.h"

namespace {

TEST(LogValueTest, LastLineOfTheLog) {
    const std::pair<std::string, std::string> cases[] = {
        // clang-format off
        {"", ""}, {"Score = 41.766209", "Score = 41.766209"}, {"a = 1\r\nb = 2\r\n", "b = 2"},
        {"x = 17.5\n\n", ""}, {"x = 17.5\n   \n", "   "}, {"a = 1\rb = 2\rc = 3\r", "c = 3"},
        {"a = 1\rb = 2", "b = 2"}, {"a = 1\r\r", ""}, {"old = 1\r\nnew = 2\rnewer = 3\r\n", "newer = 3"},
        {"x = 4\r\r\n", "x = 4"},
        // clang-format on
    };
    for (const auto& [text, last] : cases) {
        framework::TextLineSource lines(text);
        EXPECT_EQ(bench::ReadLastLine(lines), last) << text;
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

TEST(LogValueTest, ValueAfterTheFirstEquals) {
    const std::pair<std::string, double> cases[] = {
        // clang-format off
        {"average = 41.762527 (x)", 41.762527}, {"x=" + std::string(10, ' ') + "7", 7.0},
        {"x=" + std::string(11, ' ') + "7", 0.0}, {"x=" + std::string(9, ' ') + "75", 75.0},
        {"x=" + std::string(10, ' ') + "75", 7.0}, {"=123.4567890123", 123.456789},
        {"frame rate = 41.762527", 41.762527}, {"17.5 fps", 17.5}, {"fps 17.5", 0.0},
        {"12345678901234", 1234567890.0}, {"", 0.0}, {"Score =", 0.0}, {"a = 12.5 b = 99.0", 12.5},
        {"a =b = 99.0", 0.0},
        {"21.542334 / 41.762527 / 95.221848 fps -- Score = 41.766209        rand[6284]", 41.766209},
        {std::string(300, 'x') + "= 55.5", 55.5}, {"x=1.23456789e5", 1.23456789}, {"Score = 1e999", 0.0}, {"Score = -1e999", 0.0},
        // clang-format on
    };
    for (const auto& [line, fps] : cases) {
        EXPECT_EQ(bench::ExtractSceneFps(line), fps) << line;
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
