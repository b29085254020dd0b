// The benchmark log's last line and the frame rate read from it: the eleven
// characters after the first '=', and the atof-like conversion of them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "bench/LogValue.h"
#include "framework/LineSource.h"

namespace {

using bench::ExtractSceneFps;
using bench::ParseLeadingDecimal;

// --- Last line ------------------------------------------------------------

struct LastLineCase {
    const char* name;
    std::string text;
    std::string lastLine;
};

const LastLineCase kLastLineCases[] = {
    {"EmptyFile", "", ""},
    {"OneLineWithoutTerminator", "Score = 41.766209", "Score = 41.766209"},
    {"LastOfSeveral", "first = 1\nsecond = 2\nthird = 3\n", "third = 3"},
    {"CrLfLines", "a = 1\r\nb = 2\r\n", "b = 2"},
    {"EmptyLastLineWins", "x = 17.5\n\n", ""},
    {"BlankLastLineKept", "x = 17.5\n   \n", "   "},
    {"OnlyTerminator", "\n", ""},
    {"CrOnlyLinesNewestWins", "a = 1\rb = 2\rc = 3\r", "c = 3"},
    {"CrOnlyLastLineWithoutTerminator", "a = 1\rb = 2", "b = 2"},
    {"CrOnlyEmptyLastLine", "a = 1\r\r", ""},
    {"CrAfterCrLfLines", "old = 1\r\nnew = 2\rnewer = 3\r\n", "newer = 3"},
    {"DoubleCrBeforeLf", "x = 4\r\r\n", "x = 4"},
};

class LastLineTest : public ::testing::TestWithParam<LastLineCase> {};

TEST_P(LastLineTest, ReturnsTheLastLineRead) {
    const LastLineCase& c = GetParam();
    framework::TextLineSource lines(c.text);
    EXPECT_EQ(bench::ReadLastLine(lines), c.lastLine);
}

INSTANTIATE_TEST_SUITE_P(Cases, LastLineTest, ::testing::ValuesIn(kLastLineCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// --- Extraction from the last line ----------------------------------------

struct ExtractCase {
    const char* name;
    std::string lastLine;
    double fps;
};

const ExtractCase kExtractCases[] = {
    {"BlankNumberBlank", "average = 41.762527 (x)", 41.762527},
    {"TwelveBlanksHideTheNumber", "average =" + std::string(12, ' ') + "41.762527", 0.0},
    {"ElevenBlanksHideTheDigit", "x=" + std::string(11, ' ') + "7", 0.0},
    {"TenBlanksThenDigitCounts", "x=" + std::string(10, ' ') + "7", 7.0},
    {"NineBlanksThenTwoDigits", "x=" + std::string(9, ' ') + "75", 75.0},
    {"TenBlanksThenTwoDigits", "x=" + std::string(10, ' ') + "75", 7.0},
    {"OnlyElevenCharactersAfterEquals", "=123.4567890123", 123.456789},
    {"NoEqualsReadsFirstTenCharacters", "17.5 fps", 17.5},
    {"NoEqualsTextFirst", "fps 17.5", 0.0},
    {"NoEqualsOnlyTenCharacters", "12345678901234", 1234567890.0},
    {"EmptyLine", "", 0.0},
    {"EndsWithEquals", "Score =", 0.0},
    {"OnlyEquals", "=", 0.0},
    {"FirstOfSeveralEqualsCounts", "a = 12.5 b = 99.0", 12.5},
    {"SecondEqualsInsideTheCut", "a =b = 99.0", 0.0},
    {"EngineLine", "21.542334 / 41.762527 / 95.221848 fps -- Score = 41.766209        rand[6284]", 41.766209},
    {"EqualsLateInALongLine", std::string(300, 'x') + "= 55.5", 55.5},
    {"NegativeValue", "x=-3.25", -3.25},
    {"ExponentInsideTheCut", "x=1.5e2", 150.0},
    {"ExponentCutOff", "x=1.23456789e5", 1.23456789},
    {"HexIsNotANumber", "x=0x1A", 0.0},
    {"InfIsNotANumber", "x=inf", 0.0},
    {"NanIsNotANumber", "x=nan", 0.0},
};

class ExtractSceneFpsTest : public ::testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractSceneFpsTest, ValueAfterFirstEquals) {
    const ExtractCase& c = GetParam();
    EXPECT_EQ(ExtractSceneFps(c.lastLine), c.fps);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExtractSceneFpsTest, ::testing::ValuesIn(kExtractCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ExtractSceneFpsTest, LogEndingWithEmptyLineGivesZero) {
    framework::TextLineSource lines("Score = 41.766209\n\n");
    EXPECT_EQ(ExtractSceneFps(bench::ReadLastLine(lines)), 0.0);
}

TEST(ExtractSceneFpsTest, OverflowInsideTheCutGivesHugeValue) {
    EXPECT_EQ(ExtractSceneFps("Score = 1e999"), HUGE_VAL);
}

// --- The conversion -------------------------------------------------------

struct ParseCase {
    const char* name;
    std::string text;
    double value;
};

const ParseCase kParseCases[] = {
    // Plain decimal text
    {"Integer", "42", 42.0},
    {"Fraction", "41.762527", 41.762527},
    {"LeadingDot", ".5", 0.5},
    {"TrailingDot", "123.", 123.0},
    {"LeadingZeros", "000123.25", 123.25},
    {"PlusSign", "+17.5", 17.5},
    {"MinusSign", "-17.5", -17.5},
    {"RoundsToNearest", "0.1", 0.1},
    {"ManyDigits", "3.14159265358979323846264338327950288", 3.14159265358979323846},
    // White space
    {"LeadingBlanks", "   8.25", 8.25},
    {"LeadingTabNewlineEtc", "\t\n\v\f\r 8.25", 8.25},
    {"BlankAfterSignEndsIt", "- 8.25", 0.0},
    {"TrailingTextIgnored", "41.762527 (x)", 41.762527},
    {"TrailingBlanksIgnored", "2.5    ", 2.5},
    // No number
    {"Empty", "", 0.0},
    {"OnlyBlanks", "           ", 0.0},
    {"OnlyDot", ".", 0.0},
    {"OnlySign", "-", 0.0},
    {"DotThenExponent", ".e5", 0.0},
    {"Letters", "fps 17.5", 0.0},
    {"TwoSigns", "+-3", 0.0},
    // Exponents
    {"Exponent", "1.5e2", 150.0},
    {"UpperExponent", "1.5E2", 150.0},
    {"NegativeExponent", "25e-1", 2.5},
    {"PositiveExponent", "25e+1", 250.0},
    {"ExponentWithoutDigits", "7e", 7.0},
    {"ExponentSignWithoutDigits", "7e+", 7.0},
    {"ExponentThenText", "7e-x", 7.0},
    {"DExponentIsNotDecimal", "1d5", 1.0},
    {"SecondDotEnds", "1.2.3", 1.2},
    // Not decimal
    {"Hex", "0x10", 0.0},
    {"HexUpper", "0X1A", 0.0},
    {"HexWithoutLeadingZero", "x10", 0.0},
    {"Inf", "inf", 0.0},
    {"Infinity", "INFINITY", 0.0},
    {"NegativeInf", "-inf", 0.0},
    {"Nan", "nan", 0.0},
    {"NanWithPayload", "nan(123)", 0.0},
    // Limits of a double
    {"Largest", "1.7976931348623157e308", 1.7976931348623157e308},
    {"SmallestNormal", "2.2250738585072014e-308", 2.2250738585072014e-308},
    {"Subnormal", "4.9406564584124654e-324", 4.9406564584124654e-324},
    {"ZeroWithHugeExponent", "0e99999", 0.0},
    {"TooLarge", "1e999", HUGE_VAL},
    {"TooLargeNegative", "-1e999", -HUGE_VAL},
    {"TooLargeByDigits", std::string(400, '9'), HUGE_VAL},
    {"TooLargeAfterLeadingZeros", "0000.0001e400", HUGE_VAL},
    {"TooLargeWithEnormousExponent", "1e99999999999999999999999", HUGE_VAL},
    {"TooSmall", "1e-999", 0.0},
    {"TooSmallByFraction", "0." + std::string(400, '0') + "1", 0.0},
    {"TooSmallWithEnormousExponent", "5e-99999999999999999999999", 0.0},
    {"InRangeAgainAfterLargeExponent", "0." + std::string(400, '0') + "1e400", 1e-1},
};

class ParseLeadingDecimalTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseLeadingDecimalTest, ConvertsTheLongestDecimalPrefix) {
    const ParseCase& c = GetParam();
    const double value = ParseLeadingDecimal(c.text);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << value;
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseLeadingDecimalTest, ::testing::ValuesIn(kParseCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ParseLeadingDecimalTest, TooSmallNegativeIsNegativeZero) {
    const double value = ParseLeadingDecimal("-1e-999");
    EXPECT_EQ(value, 0.0);
    EXPECT_TRUE(std::signbit(value));
}

TEST(ParseLeadingDecimalTest, NegativeZero) {
    EXPECT_TRUE(std::signbit(ParseLeadingDecimal("-0.0")));
}

TEST(ParseLeadingDecimalTest, ExactBitsOfFrameRates) {
    // The conversion must round correctly, not just closely: compare the bits.
    struct BitsCase {
        const char* text;
        unsigned long long bits;
    };
    const BitsCase cases[] = {
        {"41.762527", 0x4044E19A7C17A893ull},
        {"123.4567890", 0x405EDD3C07EE0B0Bull},
        {"0.1", 0x3FB999999999999Aull},
        {"44.9", 0x4046733333333333ull},
    };
    for (const BitsCase& c : cases) {
        const double value = ParseLeadingDecimal(c.text);
        unsigned long long bits = 0;
        static_assert(sizeof bits == sizeof value, "64-bit double");
        std::memcpy(&bits, &value, sizeof bits);
        EXPECT_EQ(bits, c.bits) << c.text;
    }
}

} // namespace
