// The details list's 13 rows: fixed texts, the overall score computed from the
// six stored floats, and every scene's frame rate.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bench/DetailsRows.h"

namespace {

using bench::BuildDetailsRows;
using bench::DetailsRow;
using bench::OverallScore;

using SceneValues = std::array<float, 6>;

struct ExpectedRow {
    const char* item;
    const char* description; // nullptr: no second column
};

// The rows every list has; the score and scene texts are filled per case.
std::vector<ExpectedRow> ExpectedRows(const char* score, const std::array<const char*, 6>& scenes) {
    return {
        {"", nullptr},
        {"Korvane Version", "1.00 Alpha1"},
        {"UT2003 Demo Version", "1077"},
        {"Korvane Overall", score},
        {"", nullptr},
        {"BENCHMARK DETAILS", nullptr},
        {"", nullptr},
        {"Flyby Scene 1: dm-Antalus", scenes[0]},
        {"Flyby Scene 2: dm-Asbestos", scenes[1]},
        {"Flyby Scene 3: CTF-Citadel", scenes[2]},
        {"Botmatch Scene 1: dm-Antalus", scenes[3]},
        {"Botmatch Scene 2: dm-Asbestos", scenes[4]},
        {"Botmatch Scene 3: CTF-Citadel", scenes[5]},
    };
}

struct RowsCase {
    const char* name;
    SceneValues values;
    std::uint8_t allScenesRun;
    const char* score;
    std::array<const char*, 6> scenes;
};

const RowsCase kRowsCases[] = {
    {"SixAt44Point9",
     {44.9f, 44.9f, 44.9f, 44.9f, 44.9f, 44.9f},
     1,
     "4490 Korvanes",
     {"44.90 fps", "44.90 fps", "44.90 fps", "44.90 fps", "44.90 fps", "44.90 fps"}},
    {"SixAt60",
     {60, 60, 60, 60, 60, 60},
     1,
     "6000 Korvanes",
     {"60.00 fps", "60.00 fps", "60.00 fps", "60.00 fps", "60.00 fps", "60.00 fps"}},
    {"ExampleRun",
     {40, 42, 44, 30, 32, 34},
     1,
     "3700 Korvanes",
     {"40.00 fps", "42.00 fps", "44.00 fps", "30.00 fps", "32.00 fps", "34.00 fps"}},
    {"FewerThanSixScoresZeroButShowsStoredValues",
     {50.5f, 42, 44, 0, 32, 34},
     0,
     "0 Korvanes",
     {"50.50 fps", "42.00 fps", "44.00 fps", "0.00 fps", "32.00 fps", "34.00 fps"}},
    {"NeverRun",
     {0, 0, 0, 0, 0, 0},
     0,
     "0 Korvanes",
     {"0.00 fps", "0.00 fps", "0.00 fps", "0.00 fps", "0.00 fps", "0.00 fps"}},
    // 0.03 * 1/6 * 100 = 0.5000000037 with the float sixth: rounds to 1.
    {"FloatSixthPushesOverTheHalf",
     {0.03f, 0, 0, 0, 0, 0},
     1,
     "1 Korvanes",
     {"0.03 fps", "0.00 fps", "0.00 fps", "0.00 fps", "0.00 fps", "0.00 fps"}},
    {"SceneRatesRoundToTwoPlaces",
     {41.762527f, 0.005f, 0.015f, 99.999f, 1000.125f, 7.0f},
     1,
     "19148 Korvanes",
     {"41.76 fps", "0.00 fps", "0.01 fps", "100.00 fps", "1000.12 fps", "7.00 fps"}},
};

class DetailsRowsTest : public ::testing::TestWithParam<RowsCase> {};

TEST_P(DetailsRowsTest, ThirteenExactRows) {
    const RowsCase& c = GetParam();
    const std::vector<DetailsRow> rows = BuildDetailsRows(c.values.data(), c.allScenesRun, "1.00 Alpha1");
    const std::vector<ExpectedRow> expected = ExpectedRows(c.score, c.scenes);
    ASSERT_EQ(rows.size(), 13u);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rows[i].item, expected[i].item) << "row " << i;
        if (expected[i].description == nullptr) {
            EXPECT_FALSE(rows[i].description.has_value()) << "row " << i;
        } else {
            ASSERT_TRUE(rows[i].description.has_value()) << "row " << i;
            EXPECT_EQ(*rows[i].description, expected[i].description) << "row " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DetailsRowsTest, ::testing::ValuesIn(kRowsCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(DetailsRowsTest, EmptyRowsHaveNoTextInEitherColumn) {
    const SceneValues values{1, 2, 3, 4, 5, 6};
    const std::vector<DetailsRow> rows = BuildDetailsRows(values.data(), 1, "1.00 Alpha1");
    ASSERT_EQ(rows.size(), 13u);
    for (std::size_t i : {0u, 4u, 6u}) {
        EXPECT_EQ(rows[i].item, "") << "row " << i;
        EXPECT_EQ(rows[i].description, std::nullopt) << "row " << i;
    }
    EXPECT_EQ(rows[5].item, "BENCHMARK DETAILS");
    EXPECT_EQ(rows[5].description, std::nullopt);
}

TEST(DetailsRowsTest, SameRowsWhenBuiltTwice) {
    const SceneValues values{40, 42, 44, 30, 32, 34};
    const std::vector<DetailsRow> first = BuildDetailsRows(values.data(), 1, "1.00 Alpha1");
    const std::vector<DetailsRow> second = BuildDetailsRows(values.data(), 1, "1.00 Alpha1");
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].item, second[i].item);
        EXPECT_EQ(first[i].description, second[i].description);
    }
}

TEST(DetailsRowsTest, NoResultsYetReadAsZeros) {
    const std::vector<DetailsRow> rows = BuildDetailsRows(nullptr, 1, "1.00 Alpha1");
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[3].description, std::optional<std::string>("0 Korvanes"));
    EXPECT_EQ(rows[12].description, std::optional<std::string>("0.00 fps"));
}

// --- Overall score --------------------------------------------------------

TEST(OverallScoreTest, ZeroUnlessAllScenesRan) {
    const SceneValues values{40, 42, 44, 30, 32, 34};
    EXPECT_EQ(OverallScore(values.data(), 0), 0.0);
    EXPECT_NE(OverallScore(values.data(), 1), 0.0);
}

TEST(OverallScoreTest, SumsInDoubleAndUsesTheFloatSixth) {
    // 40+42+44+30+32+34 = 222; times the float sixth and 100: 3700.0001102...
    const SceneValues values{40, 42, 44, 30, 32, 34};
    const double score = OverallScore(values.data(), 1);
    EXPECT_GT(score, 3700.0001102);
    EXPECT_LT(score, 3700.0001103);
}

TEST(OverallScoreTest, SixStoredFloatsAt44Point9) {
    // 44.9f is 44.900001525878906; six of them summed in double, times the
    // float sixth and 100: 4490.0002864...
    const SceneValues values{44.9f, 44.9f, 44.9f, 44.9f, 44.9f, 44.9f};
    const double score = OverallScore(values.data(), 1);
    EXPECT_GT(score, 4490.0002864);
    EXPECT_LT(score, 4490.0002865);
}

TEST(OverallScoreTest, SumIsNotRoundedToFloat) {
    // 2^24 + 1 + 1 as a float sum would lose both ones and give 279620275.
    const SceneValues values{16777216.0f, 1, 1, 0, 0, 0};
    const double score = OverallScore(values.data(), 1);
    EXPECT_GT(score, 279620308.33333);
    EXPECT_LT(score, 279620308.33334);
}

} // namespace
