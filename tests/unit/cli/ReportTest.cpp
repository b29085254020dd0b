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
        {{1e308, 1.5e308}, 1.25e308, 0.25e308 * std::sqrt(2.0), 28.284271247461902}, // sums past the largest double
        {{1e308, 1.2e308, 1.6e308}, 1.2666666666666667e308, 0.3055050463303894e308, 24.118819447136},
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

// The runs of one configuration, and what follows them (tests/data/cli/report/next-runs.txt).
TEST(CallReportTest, TheNextSceneRunAndThePositionAfterEveryRunSoFar) {
    const auto split = [](const std::string& text, char separator) {
        std::vector<std::string> parts;
        std::istringstream stream(text);
        for (std::string part; std::getline(stream, part, separator);) {
            parts.push_back(part);
        }
        return parts;
    };
    const std::vector<std::vector<std::string>> rows = sourcetree::ReadTable("cli/report/next-runs.txt");
    EXPECT_GE(rows.size(), 15u);
    for (const std::vector<std::string>& row : rows) {
        std::vector<int> scenes;
        for (const std::string& scene : split(row.at(2), ',')) {
            scenes.push_back(std::stoi(scene));
        }
        cli::CallReport call = MakeCall(scenes, std::stoi(row.at(0)));
        call.plan.maxVariationPercent = std::stod(row.at(1));
        for (const std::string& run : split(row.at(3), ' ')) {
            const std::vector<std::string> fields = split(run, ':');
            const SceneStatus status = fields.at(2) == "x"   ? SceneStatus::TimedOut
                                       : fields.at(2) == "s" ? SceneStatus::Stopped
                                                             : SceneStatus::Recorded;
            AddRun(call.configurations[0], std::stoi(fields.at(0)), std::stoi(fields.at(1)), status,
                   status == SceneStatus::Recorded ? std::stod(fields.at(2)) : 0.0);
        }
        const std::optional<cli::SceneRunPlace> next = cli::NextSceneRun(call.plan, call.configurations[0]);
        EXPECT_EQ(next ? std::to_string(next->round) + ":" + std::to_string(next->sceneIndex) : "-",
                  row.at(4))
            << row.at(3);
        const cli::Progress progress = cli::ProgressOf(call);
        EXPECT_EQ(std::to_string(progress.done) + "/" + std::to_string(progress.planned), row.at(5))
            << row.at(3);
    }
    // The configurations not begun count each chosen scene N times; one whose
    // lines could not be composed runs nothing.
    cli::CallReport sweep = MakeCall({0, 3}, 2);
    sweep.plan.resolutions = {"640x480", "800x600", "1024x768"};
    AddRun(sweep.configurations[0], 0, 1, SceneStatus::Recorded, 100.0);
    EXPECT_EQ(cli::ProgressOf(sweep).planned, 12);
    sweep.configurations.emplace_back();
    EXPECT_EQ(cli::ProgressOf(sweep).planned, 8);
    EXPECT_FALSE(cli::NextSceneRun(sweep.plan, sweep.configurations[1]));
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
        {"x = -", 0.0, false}, {"x = .", 0.0, false}, {"a / b / c fps -- Score = 1e999", 0.0, false},
        // clang-format on
    };
    for (const auto& [line, fps, hasNumber] : readings) {
        const cli::LastLineReading reading = cli::ReadLastLineValues(line);
        EXPECT_EQ(reading.fps, fps) << line;
        EXPECT_EQ(reading.hasNumber, hasNumber) << line;
    }
}

} // namespace
