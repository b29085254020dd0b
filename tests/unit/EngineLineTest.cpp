// The whole of the log's last line: the engine's shape with its five numbers,
// and what the console program keeps of any last line (the window's value and
// whether a number stood where the window reads it).
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "cli/EngineLine.h"
#include "bench/LogValue.h"

namespace {

// --- The engine's shape ----------------------------------------------------

struct EngineCase {
    const char* name;
    std::string line;
    std::optional<cli::EngineLine> expected;
};

cli::EngineLine Numbers(double minFps, double avgFps, double maxFps, double score, std::uint32_t seed) {
    cli::EngineLine line;
    line.minFps = minFps;
    line.avgFps = avgFps;
    line.maxFps = maxFps;
    line.score = score;
    line.randSeed = seed;
    return line;
}

const EngineCase kEngineCases[] = {
    {"StandInLine", "21.542334 / 41.762527 / 95.221848 fps -- Score = 41.762527        rand[6284]",
     Numbers(21.542334, 41.762527, 95.221848, 41.762527, 6284)},
    {"SingleBlanks", "1 / 2 / 3 fps -- Score = 2 rand[0]", Numbers(1, 2, 3, 2, 0)},
    {"TabsAndBlanksAtBothEnds", "  \t10.5\t/\t20.25 / 40 fps -- Score = 20.25\trand[17]  \t",
     Numbers(10.5, 20.25, 40, 20.25, 17)},
    {"ScoreDiffersFromAverage", "5.0 / 6.0 / 7.0 fps -- Score = 6.5 rand[3]", Numbers(5, 6, 7, 6.5, 3)},
    {"Exponents", "1e1 / 2.5E+1 / 3e2 fps -- Score = 25e0 rand[9]", Numbers(10, 25, 300, 25, 9)},
    {"LargestSeed", "1 / 2 / 3 fps -- Score = 2 rand[4294967295]", Numbers(1, 2, 3, 2, 4294967295u)},
    {"SeedWithLeadingZeros", "1 / 2 / 3 fps -- Score = 2 rand[007]", Numbers(1, 2, 3, 2, 7)},
    {"SeedPastThirtyTwoBits", "1 / 2 / 3 fps -- Score = 2 rand[4294967296]", std::nullopt},
    {"NoSeed", "21.5 / 41.7 / 95.2 fps -- Score = 41.7", std::nullopt},
    {"EmptySeed", "1 / 2 / 3 fps -- Score = 2 rand[]", std::nullopt},
    {"NegativeSeed", "1 / 2 / 3 fps -- Score = 2 rand[-1]", std::nullopt},
    {"TextAfterSeed", "1 / 2 / 3 fps -- Score = 2 rand[5] x", std::nullopt},
    {"NoBlankBeforeSlash", "1/ 2 / 3 fps -- Score = 2 rand[5]", std::nullopt},
    {"NoBlankBeforeRand", "1 / 2 / 3 fps -- Score = 2rand[5]", std::nullopt},
    {"LowerCaseScore", "1 / 2 / 3 fps -- score = 2 rand[5]", std::nullopt},
    {"OnlyTwoRates", "1 / 2 fps -- Score = 2 rand[5]", std::nullopt},
    {"MissingNumber", " / 2 / 3 fps -- Score = 2 rand[5]", std::nullopt},
    {"WindowStyleLine", "average = 41.762527 (x)", std::nullopt},
    {"Empty", "", std::nullopt},
};

class EngineLineTest : public ::testing::TestWithParam<EngineCase> {};

TEST_P(EngineLineTest, ReadsTheFiveNumbersOnlyFromTheEngineShape) {
    const EngineCase& c = GetParam();
    const std::optional<cli::EngineLine> line = cli::ParseEngineLine(c.line);
    ASSERT_EQ(line.has_value(), c.expected.has_value());
    if (line) {
        EXPECT_EQ(line->minFps, c.expected->minFps);
        EXPECT_EQ(line->avgFps, c.expected->avgFps);
        EXPECT_EQ(line->maxFps, c.expected->maxFps);
        EXPECT_EQ(line->score, c.expected->score);
        EXPECT_EQ(line->randSeed, c.expected->randSeed);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, EngineLineTest, ::testing::ValuesIn(kEngineCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// --- Whatever the last line holds ------------------------------------------

struct ReadingCase {
    const char* name;
    std::string lastLine;
    double fps;     // the window's value
    bool hasNumber; // a number where the window reads
    bool engine;    // the engine's shape
};

const ReadingCase kReadingCases[] = {
    {"EngineLineGivesTheScore",
     "21.542334 / 41.762527 / 95.221848 fps -- Score = 41.762527        rand[6284]", 41.762527, true, true},
    {"ScoreIsTheWindowsValueNotTheAverage", "5.0 / 6.0 / 7.0 fps -- Score = 6.5 rand[3]", 6.5, true, true},
    {"OtherShapeFallsBackToTheWindow", "average = 41.762527 (x)", 41.762527, true, false},
    {"NoSeparatorReadsTheFirstTenCharacters", "17.5 fps", 17.5, true, false},
    {"NoNumberAnywhere", "Benchmark ended without a frame rate", 0.0, false, false},
    {"NumberBeyondTheElevenCharacters", "x =            5", 0.0, false, false},
    {"ZeroIsANumber", "Score = 0.000000", 0.0, true, false},
    {"EmptyLine", "", 0.0, false, false},
    {"EndsWithSeparator", "Score =", 0.0, false, false},
    {"PointThenDigit", "x = .5", 0.5, true, false},
    {"SignWithoutDigits", "x = -", 0.0, false, false},
    {"PointWithoutDigits", "x = .", 0.0, false, false},
};

class LastLineReadingTest : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(LastLineReadingTest, KeepsTheWindowsValueAndTheShape) {
    const ReadingCase& c = GetParam();
    const cli::LastLineReading reading = cli::ReadLastLineValues(c.lastLine);
    EXPECT_EQ(reading.fps, c.fps);
    EXPECT_EQ(reading.fps, bench::ExtractSceneFps(c.lastLine)) << "the window's extraction, unchanged";
    EXPECT_EQ(reading.hasNumber, c.hasNumber);
    EXPECT_EQ(reading.engine.has_value(), c.engine);
}

INSTANTIATE_TEST_SUITE_P(Cases, LastLineReadingTest, ::testing::ValuesIn(kReadingCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// --- The text the window reads ---------------------------------------------

struct ValueTextCase {
    const char* name;
    std::string lastLine;
    std::string valueText;
};

const ValueTextCase kValueTextCases[] = {
    {"ElevenAfterTheSeparator", "Score = 41.7625271234", " 41.7625271"},
    {"FirstSeparatorOnly", "a = 1 = 2", " 1 = 2"},
    {"TenWithoutSeparator", "123456789012345", "1234567890"},
    {"SeparatorAtTheEnd", "Score =", ""},
    {"Empty", "", ""},
};

class SceneValueTextTest : public ::testing::TestWithParam<ValueTextCase> {};

TEST_P(SceneValueTextTest, CutsWhatTheWindowReads) {
    EXPECT_EQ(bench::SceneValueText(GetParam().lastLine), GetParam().valueText);
}

INSTANTIATE_TEST_SUITE_P(Cases, SceneValueTextTest, ::testing::ValuesIn(kValueTextCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
