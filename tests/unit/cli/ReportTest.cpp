// korvane-cli's model of a call: the statistics and the repeat rule, which
// scenes each round runs, the exit status, the time-outs of the plan, and the
// engine's whole line read from the log.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "ReportSamples.h"
#include "SourceTree.h"
#include "cli/report/CallReport.h"
#include "cli/report/EngineLine.h"
#include "cli/report/ExitStatus.h"
#include "cli/report/RunStatistics.h"

namespace {

using bench::SceneStatus;
using samples::AddRun;
using samples::MakeCall;

TEST(RunStatisticsTest, MeanSampleDeviationAndVariation) {
    const struct {
        std::vector<double> values;
        std::optional<double> mean, deviation, variation;
    } cases[] = {
        // clang-format off
        {{}, std::nullopt, std::nullopt, std::nullopt}, {{42.5}, 42.5, std::nullopt, std::nullopt},
        {{100, 110}, 105, 7.0710678118654755, 6.734350297014739},
        {{2, 4, 4, 4, 5, 5, 7, 9}, 5, 2.138089935299395, 42.7617987059879},
        {{58.27, 58.27, 58.27}, 58.27, 0.0, 0.0}, {{0, 0}, 0.0, 0.0, std::nullopt},
        {{-4, -6}, -5.0, std::sqrt(2.0), 28.284271247461902},
        {{1e9 + 1, 1e9 + 2, 1e9 + 3}, 1e9 + 2, 1.0, 9.999999979999999e-08},
        // clang-format on
    };
    const auto near = [](std::optional<double> actual, std::optional<double> expected) {
        return actual.has_value() == expected.has_value() &&
               (!actual || std::abs(*actual - *expected) <= 1e-12 * (1.0 + std::abs(*expected)));
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.values));
        const cli::Spread spread = cli::SpreadOf(c.values);
        EXPECT_EQ(spread.count, c.values.size());
        EXPECT_TRUE(near(spread.mean, c.mean));
        EXPECT_TRUE(near(spread.standardDeviation, c.deviation));
        EXPECT_TRUE(near(spread.variationPercent, c.variation));
    }
}

TEST(RunStatisticsTest, AnotherRunWhileTheValuesVaryUpToTwiceThePlan) {
    const struct {
        std::optional<double> variation;
        int runsSoFar, plannedRuns;
        bool wantsAnother;
    } cases[] = {
        {3.49, 3, 3, false}, {3.5, 3, 3, true},   {12.0, 3, 3, true},          {12.0, 5, 3, true},
        {12.0, 6, 3, false}, {12.0, 7, 3, false}, {std::nullopt, 1, 3, false}, {5.0, 1, 1, true},
    };
    for (const auto& c : cases) {
        cli::Spread spread;
        spread.variationPercent = c.variation;
        EXPECT_EQ(cli::WantsAnotherRun(spread, c.runsSoFar, c.plannedRuns), c.wantsAnother)
            << c.variation.value_or(-1) << " % after " << c.runsSoFar << " of " << c.plannedRuns;
    }
    const std::vector<std::vector<std::uint32_t>> same = {{}, {6284}, {6284, 6284, 6284}};
    const std::vector<std::vector<std::uint32_t>> differ = {{6284, 6285}, {7, 7, 8}, {8, 7, 7}};
    for (const auto& seeds : same) {
        EXPECT_FALSE(cli::SeedsDiffer(seeds)) << ::testing::PrintToString(seeds);
    }
    for (const auto& seeds : differ) {
        EXPECT_TRUE(cli::SeedsDiffer(seeds)) << ::testing::PrintToString(seeds);
    }
}

TEST(CallReportTest, EverySceneNTimesThenTheVaryingOnesUpToTwiceN) {
    cli::CallReport call = MakeCall({0, 3}, 2);
    cli::ConfigurationReport& report = call.configurations[0];
    const auto round = [&call](const cli::ConfigurationReport& of, int number) {
        return cli::ScenesOfRound(call.plan, of, number);
    };
    EXPECT_EQ(round(report, 1), (std::vector<int>{0, 3}));
    AddRun(report, 0, 1, SceneStatus::Recorded, 100.0);
    AddRun(report, 3, 1, SceneStatus::Recorded, 50.0);
    EXPECT_EQ(round(report, 2), (std::vector<int>{0, 3}));
    AddRun(report, 0, 2, SceneStatus::Recorded, 110.0); // 6.73 %
    AddRun(report, 3, 2, SceneStatus::Recorded, 50.0);
    EXPECT_EQ(round(report, 3), (std::vector<int>{0}));
    AddRun(report, 0, 3, SceneStatus::Recorded, 105.0); // 4.76 %
    EXPECT_EQ(round(report, 4), (std::vector<int>{0}));
    AddRun(report, 0, 4, SceneStatus::Recorded, 105.0); // 3.89 %, but four runs is twice two
    EXPECT_EQ(round(report, 5), (std::vector<int>{}));
    call.plan.maxVariationPercent = 3.8; // the limit is the plan's
    EXPECT_EQ(round(report, 5), (std::vector<int>{}));
    call.plan.runs = 3;
    EXPECT_EQ(round(report, 5), (std::vector<int>{0}));
    call.plan.maxVariationPercent = 3.9;
    EXPECT_EQ(round(report, 5), (std::vector<int>{}));

    cli::CallReport settling = MakeCall({1}, 3);
    cli::ConfigurationReport& settles = settling.configurations[0];
    for (const double fps : {100.0, 108.0, 100.0, 102.0, 102.0}) { // 4.5 %, 3.66 %, 3.19 %
        AddRun(settles, 1, static_cast<int>(settles.runs.size()) + 1, SceneStatus::Recorded, fps);
    }
    EXPECT_EQ(cli::ScenesOfRound(settling.plan, settles, 6), (std::vector<int>{}));
    settles.runs.pop_back();
    EXPECT_EQ(cli::ScenesOfRound(settling.plan, settles, 5), (std::vector<int>{1}));
    cli::CallReport failing = MakeCall({2}, 2); // a failed run counts towards 2N, not the spread
    AddRun(failing.configurations[0], 2, 1, SceneStatus::Recorded, 100.0);
    AddRun(failing.configurations[0], 2, 2, SceneStatus::TimedOut);
    EXPECT_EQ(cli::ScenesOfRound(failing.plan, failing.configurations[0], 3), (std::vector<int>{}));
    cli::CallReport stopped = MakeCall({0, 1}, 2);
    stopped.configurations[0].stopped = true;
    EXPECT_EQ(cli::ScenesOfRound(stopped.plan, stopped.configurations[0], 1), (std::vector<int>{}));
    const cli::CallReport none = MakeCall({}, 2);
    EXPECT_EQ(cli::ScenesOfRound(none.plan, none.configurations[0], 1), (std::vector<int>{}));
}

TEST(CallReportTest, ExitStatusIsZeroOnlyWhenEveryRunGaveAResult) {
    const struct {
        std::vector<SceneStatus> statuses;
        bool stopped;
        int exitStatus;
    } cases[] = {
        // clang-format off
        {{SceneStatus::Recorded, SceneStatus::Recorded}, false, 0}, {{}, false, 3},
        {{SceneStatus::Recorded, SceneStatus::TimedOut}, false, 3}, {{SceneStatus::NoNumber, SceneStatus::Recorded}, false, 3},
        {{SceneStatus::GameNotStarted}, false, 3}, {{SceneStatus::NoNewResult}, false, 3},
        {{SceneStatus::LogUnreadable}, false, 3}, {{SceneStatus::Recorded, SceneStatus::Stopped}, true, 3},
        {{SceneStatus::Recorded}, true, 3},
        // clang-format on
    };
    for (const auto& c : cases) {
        cli::CallReport call = MakeCall({0}, 1);
        cli::ConfigurationReport good = call.configurations[0];
        AddRun(good, 0, 1, SceneStatus::Recorded, 100.0);
        cli::ConfigurationReport& report = call.configurations[0];
        for (const SceneStatus status : c.statuses) {
            AddRun(report, 0, static_cast<int>(report.runs.size()) + 1, status, 100.0);
        }
        report.stopped = c.stopped;
        EXPECT_EQ(cli::ExitStatus(report), c.exitStatus)
            << report.runs.size() << " runs, stopped " << c.stopped;
        EXPECT_EQ(cli::Stopped(call), c.stopped);
        call.configurations.insert(call.configurations.begin(), good);
        EXPECT_EQ(cli::ExitStatus(call), c.exitStatus) << "in a sweep";
    }
    EXPECT_EQ(cli::ExitStatus(cli::CallReport()), cli::kExitSomeFailed);
}

// Each scene's time-out: three times its own length plus a minute, or the one given.
TEST(PlanTest, TimeOutsOfTheScenes) {
    bench::SceneRow longer = bench::SceneTable()[4];
    longer.lengthSeconds = 100;
    cli::RunPlan plan;
    EXPECT_EQ(cli::TimeoutSeconds(plan, bench::SceneTable()[0]), 291);
    EXPECT_EQ(cli::TimeoutSeconds(plan, longer), 360);
    EXPECT_EQ(cli::LongestTimeoutSeconds(plan), 291);
    plan.timeoutSeconds = 5;
    EXPECT_EQ(cli::TimeoutSeconds(plan, longer), 5);
    EXPECT_EQ(cli::LongestTimeoutSeconds(plan), 5);
    for (const bench::SceneRow& scene : bench::SceneTable()) {
        const std::string length = "-seconds=" + std::to_string(scene.lengthSeconds) + " ";
        EXPECT_NE(std::string(scene.commandLineTemplate).find(length), std::string::npos)
            << "the game is asked for the length the time-out is based on: " << scene.checkBoxText;
    }
}

// korvane-cli reads the whole line when it has the engine's shape
// (tests/data/cli/report/engine-lines.txt); otherwise it keeps the window's value and whether
// a number stood where the window reads.
TEST(EngineLineTest, FiveNumbersOnlyFromTheEngineShape) {
    const auto numbers = [](const std::string& line) {
        const std::optional<cli::EngineLine> engine = cli::ParseEngineLine(line);
        std::ostringstream read;
        read.precision(10);
        if (engine) {
            read << engine->minFps << ' ' << engine->avgFps << ' ' << engine->maxFps << ' ' << engine->score
                 << ' ' << engine->randSeed;
        }
        return read.str();
    };
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/report/engine-lines.txt")) {
        EXPECT_EQ(numbers(row[0]), row.size() > 1 ? row[1] : "") << row[0];
    }
    EXPECT_EQ(numbers("  \t10.5\t/\t20.25 / 40 fps -- Score = 20.25\trand[17]  \t"),
              "10.5 20.25 40 20.25 17");
    const std::tuple<std::string, double, bool> readings[] = {
        // clang-format off
        {"5.0 / 6.0 / 7.0 fps -- Score = 6.5 rand[3]", 6.5, true}, {"17.5 fps", 17.5, true},
        {"Benchmark ended without a frame rate", 0.0, false}, {"x =            5", 0.0, false},
        {"Score = 0.000000", 0.0, true}, {"Score =", 0.0, false}, {"x = .5", 0.5, true},
        {"x = -", 0.0, false}, {"x = .", 0.0, false},
        // clang-format on
    };
    for (const auto& [line, fps, hasNumber] : readings) {
        const cli::LastLineReading reading = cli::ReadLastLineValues(line);
        EXPECT_EQ(reading.fps, fps) << line;
        EXPECT_EQ(reading.hasNumber, hasNumber) << line;
    }
}

} // namespace
