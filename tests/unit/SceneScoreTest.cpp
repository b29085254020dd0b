// One press's arithmetic: float running sums fed with double values, the float
// factors widened to double, and the three result texts.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench/SceneScore.h"

namespace {

using bench::SceneResults;

std::uint32_t BitsOf(float value) {
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof value, "32-bit float");
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// An (index, value) pair of a press.
struct Scene {
    int index;
    double value;
};

// Runs the scenes as one press of `results` and gives a copy of it afterwards.
SceneResults RunScenes(SceneResults& results, const std::vector<Scene>& scenes) {
    results.StartPress();
    for (const Scene& scene : scenes) {
        results.RecordScene(scene.index, scene.value);
    }
    return results;
}

std::vector<Scene> AllSix(double v0, double v1, double v2, double v3, double v4, double v5) {
    return {{0, v0}, {1, v1}, {2, v2}, {3, v3}, {4, v4}, {5, v5}};
}

TEST(SceneScoreTest, FactorsAreTheFloatConstants) {
    EXPECT_EQ(BitsOf(bench::kOneSixth), 0x3E2AAAABu);
    EXPECT_EQ(BitsOf(bench::kScoreScale), 0x42C80000u);
    EXPECT_EQ(BitsOf(bench::kOneThird), 0x3EAAAAABu);
    EXPECT_EQ(static_cast<double>(bench::kOneSixth), 0.1666666716337204);
    EXPECT_EQ(static_cast<double>(bench::kOneThird), 0.3333333432674408);
}

TEST(SceneScoreTest, StartsAtZero) {
    const SceneResults run;
    EXPECT_EQ(run.scenesRun, 0);
    EXPECT_EQ(run.runTotal, 0.0f);
    EXPECT_EQ(run.flybyTotal, 0.0f);
    EXPECT_EQ(run.botmatchTotal, 0.0f);
    EXPECT_FALSE(run.AllScenesRun());
}

// --- RecordScene ----------------------------------------------------------

TEST(RecordSceneTest, ExampleSums) {
    SceneResults results;
    const SceneResults run = RunScenes(results, AllSix(40, 42, 44, 30, 32, 34));
    EXPECT_EQ(run.scenesRun, 6);
    EXPECT_TRUE(run.AllScenesRun());
    EXPECT_EQ(run.runTotal, 222.0f);
    EXPECT_EQ(run.flybyTotal, 126.0f);
    EXPECT_EQ(run.botmatchTotal, 96.0f);
    EXPECT_EQ(results.sceneFps, (std::array<float, 6>{40, 42, 44, 30, 32, 34}));
}

TEST(RecordSceneTest, StoresTheValueRoundedToFloat) {
    SceneResults results;
    RunScenes(results, {{3, 41.762527}});
    EXPECT_EQ(BitsOf(results.sceneFps[3]), BitsOf(41.762527f));
    EXPECT_EQ(results.sceneFps[0], 0.0f) << "other slots untouched";
}

TEST(RecordSceneTest, AddsTheUnroundedValue) {
    // 1 + (2^-24 + 2^-50) rounds up to 1 + 2^-23; the float copy of the value
    // (2^-24) would give the tie 1 + 2^-24, which rounds down to 1.
    SceneResults results;
    const double tiny = std::ldexp(1.0, -24) + std::ldexp(1.0, -50);
    const SceneResults run = RunScenes(results, {{0, 1.0}, {1, tiny}});
    EXPECT_EQ(results.sceneFps[1], std::ldexp(1.0f, -24));
    EXPECT_EQ(static_cast<double>(run.runTotal), 1.0 + std::ldexp(1.0, -23));
}

TEST(RecordSceneTest, SumIsRoundedToDoubleBeforeFloat) {
    // 1 + 2^-24 + 2^-54 needs 55 bits: in double it is 1 + 2^-24, a tie that
    // rounds down to the float 1. Kept wider (x87 extended) it would round up.
    SceneResults results;
    const double value = std::ldexp(1.0, -24) + std::ldexp(1.0, -54);
    const SceneResults run = RunScenes(results, {{0, 1.0}, {1, value}});
    EXPECT_EQ(run.runTotal, 1.0f);
}

TEST(RecordSceneTest, RunningSumIsRoundedToFloatAfterEachScene) {
    // 2^24 + 1 is not a float: each 1 added to 2^24 is lost again.
    SceneResults results;
    const SceneResults run = RunScenes(results, AllSix(1, 0, 0, 16777216, 1, 1));
    EXPECT_EQ(run.runTotal, 16777216.0f);
    EXPECT_EQ(run.flybyTotal, 1.0f);
    // The bot-match sum comes from the unrounded last sum 16777217 minus 1; the
    // rounded total would give 16777215.
    EXPECT_EQ(run.botmatchTotal, 16777216.0f);
}

TEST(RecordSceneTest, FlybySumIsTakenAtScene2) {
    SceneResults results;
    SceneResults run = RunScenes(results, {{0, 10}, {1, 20}});
    EXPECT_EQ(run.flybyTotal, 0.0f);
    run.RecordScene(2, 30);
    EXPECT_EQ(run.flybyTotal, 60.0f);
    run.RecordScene(3, 40);
    EXPECT_EQ(run.flybyTotal, 60.0f);
    EXPECT_EQ(run.botmatchTotal, 0.0f) << "set only at scene 5";
}

TEST(RecordSceneTest, SubsetWithoutScene2CountsButSetsNoFlybySum) {
    SceneResults results;
    const SceneResults run = RunScenes(results, {{0, 12.5}, {5, 7.5}});
    EXPECT_EQ(run.scenesRun, 2);
    EXPECT_FALSE(run.AllScenesRun());
    EXPECT_EQ(run.runTotal, 20.0f);
    EXPECT_EQ(run.flybyTotal, 0.0f);
    EXPECT_EQ(run.botmatchTotal, 20.0f);
}

TEST(RecordSceneTest, ZeroValueStillCounts) {
    SceneResults results;
    const SceneResults run = RunScenes(results, AllSix(40, 42, 0, 30, 32, 34));
    EXPECT_TRUE(run.AllScenesRun());
    EXPECT_EQ(run.runTotal, 178.0f);
    EXPECT_EQ(FormatResultTexts(run).score, "2967 ");
}

TEST(RecordSceneTest, LaterPressKeepsOtherSlots) {
    SceneResults results;
    RunScenes(results, AllSix(40, 42, 44, 30, 32, 34));
    const SceneResults second = RunScenes(results, {{0, 50.5}});
    EXPECT_EQ(results.sceneFps, (std::array<float, 6>{50.5f, 42, 44, 30, 32, 34}));
    EXPECT_EQ(second.scenesRun, 1);
    EXPECT_EQ(second.runTotal, 50.5f);
    const bench::ResultTexts texts = FormatResultTexts(second);
    EXPECT_EQ(texts.score, "N/A ");
}

// --- Score and averages ---------------------------------------------------

TEST(RunScoreTest, ExampleUsesTheFloatFactors) {
    SceneResults results;
    const SceneResults run = RunScenes(results, AllSix(40, 42, 44, 30, 32, 34));
    // Exact one sixth and one third would give 3700, 42 and 32 (or just below).
    EXPECT_GT(RunScore(run), 3700.0001102);
    EXPECT_LT(RunScore(run), 3700.0001103);
    EXPECT_GT(FlybyAverage(run), 42.0000012);
    EXPECT_LT(FlybyAverage(run), 42.0000013);
    EXPECT_GT(BotmatchAverage(run), 32.0000009);
    EXPECT_LT(BotmatchAverage(run), 32.0000010);
}

struct TextsCase {
    const char* name;
    SceneResults run;
    const char* score;
    const char* flybyAverage;
    const char* botmatchAverage;
};

SceneResults Totals(int scenesRun, float runTotal, float flybyTotal, float botmatchTotal) {
    SceneResults run;
    run.scenesRun = scenesRun;
    run.runTotal = runTotal;
    run.flybyTotal = flybyTotal;
    run.botmatchTotal = botmatchTotal;
    return run;
}

const TextsCase kTextsCases[] = {
    {"Example", Totals(6, 222, 126, 96), "3700 ", "42.00 fps", "32.00 fps "},
    {"Mean44Point9", Totals(6, 269.4f, 134.7f, 134.7f), "4490 ", "44.90 fps", "44.90 fps "},
    {"AllZero", Totals(6, 0, 0, 0), "0 ", "0.00 fps", "0.00 fps "},
    // 0.03 * 1/6 * 100 = 0.5000000149: the float sixth pushes it over the half.
    {"FloatSixthRoundsHalfUp", Totals(6, 0.03f, 0, 0), "1 ", "0.00 fps", "0.00 fps "},
    {"AveragesRoundToTwoPlaces", Totals(6, 100, 10.015f, 0.035f), "1667 ", "3.34 fps", "0.01 fps "},
    {"LargeScore", Totals(6, 6000, 3000, 3000), "100000 ", "1000.00 fps", "1000.00 fps "},
    {"FiveScenesNotAvailable", Totals(5, 222, 126, 96), "N/A ", "N/A ", "N/A "},
    {"OneSceneNotAvailable", Totals(1, 40, 0, 0), "N/A ", "N/A ", "N/A "},
    {"NoSceneNotAvailable", Totals(0, 0, 0, 0), "N/A ", "N/A ", "N/A "},
};

class ResultTextsTest : public ::testing::TestWithParam<TextsCase> {};

TEST_P(ResultTextsTest, ExactTexts) {
    const TextsCase& c = GetParam();
    const bench::ResultTexts texts = FormatResultTexts(c.run);
    EXPECT_EQ(texts.score, c.score);
    EXPECT_EQ(texts.flybyAverage, c.flybyAverage);
    EXPECT_EQ(texts.botmatchAverage, c.botmatchAverage);
}

INSTANTIATE_TEST_SUITE_P(Cases, ResultTextsTest, ::testing::ValuesIn(kTextsCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ResultTextsTest, RunTotal269Point4IsStoredBelowAndStillShows4490) {
    const float runTotal = 269.4f;
    EXPECT_LT(static_cast<double>(runTotal), 269.4);
    EXPECT_EQ(FormatResultTexts(Totals(6, runTotal, 0, 0)).score, "4490 ");
}

TEST(ResultTextsTest, TextsFromRecordedScenes) {
    SceneResults results;
    const bench::ResultTexts texts = FormatResultTexts(RunScenes(results, AllSix(40, 42, 44, 30, 32, 34)));
    EXPECT_EQ(texts.score, "3700 ");
    EXPECT_EQ(texts.flybyAverage, "42.00 fps");
    EXPECT_EQ(texts.botmatchAverage, "32.00 fps ");
}

} // namespace

// Where the float running sums decide the last digit: the unrounded sums would
// give "8074 ", "94.52 fps" and "66.96 fps " (the end-to-end tests run the same
// values through both builds).
TEST(ResultTextsTest, FloatSumsAtTheRoundingEdges) {
    SceneResults results;
    const bench::ResultTexts texts = FormatResultTexts(
        RunScenes(results, AllSix(102.839365, 32.142131, 148.563505, 95.946027, 74.610574, 30.308400)));
    EXPECT_EQ(texts.score, "8073 ");
    EXPECT_EQ(texts.flybyAverage, "94.51 fps");
    EXPECT_EQ(texts.botmatchAverage, "66.95 fps ");
}
