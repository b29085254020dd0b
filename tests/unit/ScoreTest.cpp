// A press's arithmetic: float running sums fed with double values, the float
// factors widened to double, the result texts at their rounding edges, the
// details list's 13 rows, and the banner's frame order.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <tuple>
#include <string>
#include <vector>

#include "SourceTree.h"
#include "bench/DetailsRows.h"
#include "bench/SceneScore.h"
#include "framework/Format.h"
#include "ui/BannerFrames.h"

namespace {

using bench::SceneResults;

// One press over (index, value) pairs; `results` keeps the frame rates.
SceneResults Press(SceneResults& results, const std::vector<std::pair<int, double>>& scenes) {
    results.StartPress();
    for (const auto& [index, value] : scenes) {
        results.RecordScene(index, value);
    }
    return results;
}

// All six scenes pressed in `window`, or in a fresh one.
SceneResults AllSix(const std::array<double, 6>& fps, SceneResults* window = nullptr) {
    SceneResults fresh;
    return Press(window != nullptr ? *window : fresh,
                 {{0, fps[0]}, {1, fps[1]}, {2, fps[2]}, {3, fps[3]}, {4, fps[4]}, {5, fps[5]}});
}

std::string Texts(const SceneResults& run) {
    const bench::ResultTexts texts = bench::FormatResultTexts(run);
    return texts.score + "|" + texts.flybyAverage + "|" + texts.botmatchAverage + "|";
}

TEST(SceneScoreTest, SumsAreFloatsFedWithDoubles) {
    // 1 + (2^-24 + 2^-50) rounds up to 1 + 2^-23: the value is added unrounded.
    SceneResults results;
    SceneResults run = Press(results, {{0, 1.0}, {1, std::ldexp(1.0, -24) + std::ldexp(1.0, -50)}});
    EXPECT_EQ(run.sceneFps[1], std::ldexp(1.0f, -24)) << "the stored copy is a float";
    EXPECT_EQ(static_cast<double>(run.runTotal), 1.0 + std::ldexp(1.0, -23));
    // 1 + 2^-24 + 2^-54 is a tie in double that rounds down to 1 as a float; held
    // wider (x87 extended) it would round up.
    run = Press(results, {{0, 1.0}, {1, std::ldexp(1.0, -24) + std::ldexp(1.0, -54)}});
    EXPECT_EQ(run.runTotal, 1.0f);
    // Each 1 added to 2^24 is lost again; the bot-match sum comes from the
    // unrounded last sum 2^24 + 1 minus the fly-by sum.
    run = AllSix({1, 0, 0, 16777216, 1, 1});
    EXPECT_EQ(run.runTotal, 16777216.0f);
    EXPECT_EQ(run.flybyTotal, 1.0f);
    EXPECT_EQ(run.botmatchTotal, 16777216.0f);
}

// tests/data/result-texts.txt, and the values behind the first line's texts.
TEST(SceneScoreTest, ResultTexts) {
    SceneResults window;
    for (const std::vector<std::string>& row : sourcetree::ReadTable("result-texts.txt")) {
        const std::vector<double> fps = sourcetree::Numbers(row[0]);
        ASSERT_EQ(fps.size(), 6u) << row[0];
        EXPECT_EQ(Texts(AllSix({fps[0], fps[1], fps[2], fps[3], fps[4], fps[5]}, &window)), row.at(1));
    }
    const SceneResults example = AllSix({40, 42, 44, 30, 32, 34});
    EXPECT_NEAR(bench::RunScore(example), 3700.00011025, 1e-7);
    EXPECT_NEAR(bench::FlybyAverage(example), 42.00000125, 1e-7);
    EXPECT_NEAR(bench::BotmatchAverage(example), 32.00000095, 1e-7);
}

TEST(DetailsRowsTest, ThirteenRowsFromTheSixStoredFloats) {
    const std::array<float, 6> values{41.762527f, 0.005f, 0.015f, 99.999f, 1000.125f, 7.0f};
    const std::vector<bench::DetailsRow> rows = bench::BuildDetailsRows(values.data(), 1, "1.00 Alpha1");
    std::string text; // item, tab, description ("-": none), as tests/data/details-rows.txt
    for (const bench::DetailsRow& row : rows) {
        text += row.item + "\t" + row.description.value_or("-") + "\n";
    }
    sourcetree::ExpectFile("details-rows.txt", text);
}

TEST(DetailsRowsTest, OverallScoreSumsTheStoredFloatsInDouble) {
    const std::array<float, 6> example{40, 42, 44, 30, 32, 34};
    const std::array<float, 6> at44point9{44.9f, 44.9f, 44.9f, 44.9f, 44.9f, 44.9f};
    const std::array<float, 6> beyondFloat{16777216.0f, 1, 1, 0, 0, 0};
    EXPECT_NEAR(bench::OverallScore(example.data(), 1), 3700.00011025, 1e-7);
    EXPECT_NEAR(bench::OverallScore(at44point9.data(), 1), 4490.00028645, 1e-7);
    EXPECT_NEAR(bench::OverallScore(beyondFloat.data(), 1), 279620308.333333, 1e-5)
        << "a float sum loses both 1s";
    EXPECT_EQ(bench::OverallScore(example.data(), 0), 0.0) << "not all six ran in the latest press";
    const std::pair<const float*, std::uint8_t> zeros[] = {{example.data(), 0}, {nullptr, 1}};
    for (const auto& [values, allRun] : zeros) {
        const std::vector<bench::DetailsRow> rows = bench::BuildDetailsRows(values, allRun, "1.00 Alpha1");
        EXPECT_EQ(rows.at(3).description, std::optional<std::string>("0 Korvanes"));
        EXPECT_EQ(rows.at(7).description, std::optional<std::string>(values ? "40.00 fps" : "0.00 fps"));
    }
}

TEST(FormatTest, RoundsHalfToEvenAndNeverCuts) {
    EXPECT_EQ(framework::Format("%1.0f %1.0f %1.0f", 0.5, 1.5, 2.5), "0 2 2");
    EXPECT_EQ(framework::Format("%1.2f %1.2f", 0.125, 0.375), "0.12 0.38");
    EXPECT_EQ(framework::Format("%1.0f ", 1e20), "100000000000000000000 ");
    EXPECT_EQ(framework::Format("%1.2f MHz", -0.001), "-0.00 MHz");
    EXPECT_EQ(framework::Format("%d", 7), "7");
    EXPECT_EQ(framework::Format("%s", ""), "");
    EXPECT_EQ(framework::Format("%s!", std::string(5000, 'a').c_str()).size(), 5001u);
}

TEST(BannerFramesTest, EachTickMovesOnAndTheLastGoesBackToTheFirst) {
    // Frame, count, the frame after it: the banner's two frames, one and three.
    const std::tuple<int, int, int> cases[] = {{0, 2, 1}, {1, 2, 0}, {0, 1, 0}, {1, 3, 2}, {2, 3, 0}};
    for (const auto& [current, count, next] : cases) {
        EXPECT_EQ(ui::NextFrame(current, count), next) << current << " of " << count;
    }
    EXPECT_EQ(ui::kFirstBannerFrame, 0);
}

} // namespace
