// korvane-cli's model of a call: the statistics and the repeat rule, which
// scenes each round runs, the exit status, the time-outs of the plan, and the
// engine's whole line read from the log.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
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

// tests/data/cli/report/spreads.txt.
TEST(RunStatisticsTest, MeanSampleDeviationAndVariation) {
    const auto near = [](std::optional<double> actual, const std::string& expected) {
        const std::optional<double> value = sourcetree::NumberOrNone(expected);
        return actual.has_value() == value.has_value() &&
               (!actual || std::abs(*actual - *value) <= 1e-12 * (1.0 + std::abs(*value)));
    };
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/report/spreads.txt")) {
        SCOPED_TRACE(row[0]);
        const std::vector<double> values = sourcetree::Numbers(row[0]);
        const cli::Spread spread = cli::SpreadOf(values);
        EXPECT_EQ(spread.count, values.size());
        EXPECT_TRUE(near(spread.mean, row.at(1)));
        EXPECT_TRUE(near(spread.standardDeviation, row.at(2)));
        EXPECT_TRUE(near(spread.variationPercent, row.at(3)));
    }
}

// tests/data/cli/report/another-run.txt; and whether the rand[] seeds differ.
TEST(RunStatisticsTest, AnotherRunWhileTheValuesVaryUpToTwiceThePlan) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/report/another-run.txt")) {
        cli::Spread spread;
        spread.variationPercent = sourcetree::NumberOrNone(row[0]);
        EXPECT_EQ(cli::WantsAnotherRun(spread, std::stoi(row.at(1)), std::stoi(row.at(2))),
                  row.at(3) == "yes")
            << row[0] << " % after " << row[1] << " of " << row[2];
    }
    const std::pair<std::vector<std::uint32_t>, bool> seeds[] = {
        {{}, false},          {{6284}, false},   {{6284, 6284, 6284}, false},
        {{6284, 6285}, true}, {{7, 7, 8}, true}, {{8, 7, 7}, true}};
    for (const auto& [values, differ] : seeds) {
        EXPECT_EQ(cli::SeedsDiffer(values), differ) << ::testing::PrintToString(values);
    }
}

// The runs of one configuration, and what follows them (tests/data/cli/report/next-runs.txt).
TEST(CallReportTest, TheNextSceneRunAndThePositionAfterEveryRunSoFar) {
    const std::vector<std::vector<std::string>> rows = sourcetree::ReadTable("cli/report/next-runs.txt");
    EXPECT_GE(rows.size(), 15u);
    for (const std::vector<std::string>& row : rows) {
        std::vector<int> scenes;
        for (const std::string& scene : sourcetree::Split(row.at(2), ',')) {
            scenes.push_back(std::stoi(scene));
        }
        cli::CallReport call = MakeCall(scenes, std::stoi(row.at(0)));
        call.plan.maxVariationPercent = std::stod(row.at(1));
        for (const std::string& run : sourcetree::Split(row.at(3), ' ')) {
            const std::vector<std::string> fields = sourcetree::Split(run, ':');
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

// tests/data/cli/report/exit-statuses.txt, for one configuration and for a
// sweep whose first one gave every result.
TEST(CallReportTest, ExitStatusIsZeroOnlyWhenEveryRunGaveAResult) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/report/exit-statuses.txt")) {
        cli::CallReport call = MakeCall({0}, 1);
        cli::ConfigurationReport good = call.configurations[0];
        AddRun(good, 0, 1, SceneStatus::Recorded, 100.0);
        cli::ConfigurationReport& report = call.configurations[0];
        for (const std::string& name : sourcetree::Split(row[0], ' ')) {
            int status = 0;
            while (status < 7 && cli::StatusName(static_cast<SceneStatus>(status)) != name) {
                ++status;
            }
            ASSERT_LT(status, 7) << name;
            AddRun(report, 0, static_cast<int>(report.runs.size()) + 1, static_cast<SceneStatus>(status),
                   100.0);
        }
        report.stopped = row.at(1) == "yes";
        EXPECT_EQ(cli::ExitStatus(report), std::stoi(row.at(2))) << row[0] << ", stopped " << row[1];
        EXPECT_EQ(cli::Stopped(call), report.stopped);
        call.configurations.insert(call.configurations.begin(), good);
        EXPECT_EQ(cli::ExitStatus(call), std::stoi(row[2])) << row[0] << " in a sweep";
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
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/report/last-line-values.txt")) {
        const cli::LastLineReading reading = cli::ReadLastLineValues(row[0]);
        EXPECT_EQ(reading.fps, std::stod(row.at(1))) << row[0];
        EXPECT_EQ(reading.hasNumber, row.at(2) == "yes") << row[0];
    }
}

} // namespace
