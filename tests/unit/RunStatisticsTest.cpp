// Statistics over a scene's runs: mean, sample standard deviation (n - 1),
// coefficient of variation, the 3.5 % rule for more runs up to twice the planned
// number, and the rand[] seed check of bot matches.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/RunStatistics.h"

namespace {

// --- Mean, deviation, variation --------------------------------------------

struct SpreadCase {
    const char* name;
    std::vector<double> values;
    std::optional<double> mean;
    std::optional<double> deviation;
    std::optional<double> variationPercent;
};

// Worked by hand: 100 and 110 lie 5 from their mean of 105, so the sample
// variance is (25 + 25) / 1 = 50; 2, 4, 4, 4, 5, 5, 7, 9 have the squared
// distances 9, 1, 1, 1, 0, 0, 4, 16 from 5, so the variance is 32 / 7.
const SpreadCase kSpreadCases[] = {
    {"NoValues", {}, std::nullopt, std::nullopt, std::nullopt},
    {"OneValueHasNoDeviation", {42.5}, 42.5, std::nullopt, std::nullopt},
    {"TwoValues", {100, 110}, 105, 7.0710678118654755, 6.734350297014739},
    {"SampleNotPopulation", {2, 4, 4, 4, 5, 5, 7, 9}, 5, 2.138089935299395, 42.7617987059879},
    {"EqualValues", {58.27, 58.27, 58.27}, 58.27, 0.0, 0.0},
    {"ZeroMeanHasNoVariation", {0, 0}, 0.0, 0.0, std::nullopt},
    {"CloseLargeValuesKeepTheirDigits", {1e9 + 1, 1e9 + 2, 1e9 + 3}, 1e9 + 2, 1.0, 9.999999979999999e-08},
};

class SpreadTest : public ::testing::TestWithParam<SpreadCase> {};

void ExpectNear(const std::optional<double>& actual, const std::optional<double>& expected,
                const char* what) {
    ASSERT_EQ(actual.has_value(), expected.has_value()) << what;
    if (actual) {
        EXPECT_NEAR(*actual, *expected, 1e-12 * (1.0 + std::abs(*expected))) << what;
    }
}

TEST_P(SpreadTest, MeanSampleDeviationAndVariation) {
    const SpreadCase& c = GetParam();
    const cli::Spread spread = cli::SpreadOf(c.values);
    EXPECT_EQ(spread.count, c.values.size());
    ExpectNear(spread.mean, c.mean, "mean");
    ExpectNear(spread.standardDeviation, c.deviation, "standard deviation");
    ExpectNear(spread.variationPercent, c.variationPercent, "variation");
}

INSTANTIATE_TEST_SUITE_P(Cases, SpreadTest, ::testing::ValuesIn(kSpreadCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// --- The rule for more runs ------------------------------------------------

struct MoreRunsCase {
    const char* name;
    std::optional<double> variationPercent;
    int runsSoFar;
    int plannedRuns;
    bool wantsAnother;
};

const MoreRunsCase kMoreRunsCases[] = {
    {"BelowTheLimit", 3.49, 3, 3, false},          {"ExactlyTheLimit", 3.5, 3, 3, true},
    {"AboveTheLimit", 12.0, 3, 3, true},           {"OneShortOfTwiceThePlan", 12.0, 5, 3, true},
    {"TwiceThePlanIsTheEnd", 12.0, 6, 3, false},   {"PastTwiceThePlan", 12.0, 7, 3, false},
    {"NoVariationYet", std::nullopt, 1, 3, false}, {"OnePlannedRunAllowsOneMore", 5.0, 1, 1, true},
};

class MoreRunsTest : public ::testing::TestWithParam<MoreRunsCase> {};

TEST_P(MoreRunsTest, RunsAgainWhileTheValuesVaryUpToTwiceThePlan) {
    const MoreRunsCase& c = GetParam();
    cli::Spread spread;
    spread.count = static_cast<std::size_t>(c.runsSoFar);
    spread.mean = 100.0;
    spread.variationPercent = c.variationPercent;
    EXPECT_EQ(cli::WantsAnotherRun(spread, c.runsSoFar, c.plannedRuns), c.wantsAnother);
}

INSTANTIATE_TEST_SUITE_P(Cases, MoreRunsTest, ::testing::ValuesIn(kMoreRunsCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(MoreRunsTest, TwoValuesSixPointSevenPercentApartAskForMore) {
    EXPECT_TRUE(cli::WantsAnotherRun(cli::SpreadOf({100, 110}), 2, 2));
    EXPECT_FALSE(cli::WantsAnotherRun(cli::SpreadOf({100, 104}), 2, 2)) << "2.77 % stays";
}

// --- rand[] seeds of bot matches -------------------------------------------

struct SeedsCase {
    const char* name;
    std::vector<std::uint32_t> seeds;
    bool differ;
};

const SeedsCase kSeedsCases[] = {
    {"None", {}, false},
    {"One", {6284}, false},
    {"AllEqual", {6284, 6284, 6284}, false},
    {"TwoDiffer", {6284, 6285}, true},
    {"LastDiffers", {7, 7, 8}, true},
    {"FirstDiffers", {8, 7, 7}, true},
};

class SeedsTest : public ::testing::TestWithParam<SeedsCase> {};

TEST_P(SeedsTest, FlagsRunsThatDidNotReplayOneSequence) {
    EXPECT_EQ(cli::SeedsDiffer(GetParam().seeds), GetParam().differ);
}

INSTANTIATE_TEST_SUITE_P(Cases, SeedsTest, ::testing::ValuesIn(kSeedsCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
