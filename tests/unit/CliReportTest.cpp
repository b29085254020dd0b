// What korvane-cli draws from its runs: which scenes each round runs (the 3.5 %
// rule up to twice the runs), the statistics and flags per scene, the score of
// each complete set with the window's own arithmetic, the exit status, the CSV
// rows, the results table and the JSON report against docs/cli-json-schema.json.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "bench/SceneScore.h"
#include "cli/ReportCsv.h"
#include "cli/ReportJson.h"
#include "cli/ReportText.h"
#include "cli/RunReport.h"
#include "SourceTree.h"
#include "tests/support/JsonCheck.h"

namespace {

using sourcetree::ReadBytes;
using sourcetree::SourcePath;

using cli::RunReport;
using cli::RunStatus;
using cli::SceneAttempt;

std::string EngineLineText(double fps, unsigned seed) {
    char line[160];
    std::snprintf(line, sizeof line, "%.6f / %.6f / %.6f fps -- Score = %.6f        rand[%u]", fps / 2, fps,
                  fps * 2, fps, seed);
    return line;
}

// A report with `runs` planned runs of the given scenes and no run yet.
RunReport MakeReport(const std::vector<int>& scenes, int runs) {
    RunReport report;
    report.korvaneVersion = "1.00 Alpha1";
    report.machine = {"Intel(R) Pentium(R) III",
                      "1466.53 MHz",
                      "32k L1, 256k L2",
                      "257 MByte",
                      "Windows XP",
                      "RADEON 9700"};
    report.options.scenes = {};
    for (const int scene : scenes) {
        report.options.scenes[static_cast<std::size_t>(scene)] = true;
        report.commandLines.push_back({scene, "C:\\UT\\System\\UT2003.exe line " + std::to_string(scene)});
    }
    report.options.runs = runs;
    report.gameFolder = "C:\\UT";
    report.gameExecutable = "C:\\UT\\system\\UT2003.exe";
    report.workingDirectory = "C:\\UT\\system";
    report.logPath = "C:\\UT\\benchmark\\benchmark.log";
    return report;
}

// Adds one run as korvane-cli does: its record, and its value through the
// window's arithmetic in the set of its round when the log was read.
void AddRun(RunReport& report, int scene, int round, RunStatus status, double fps = 0.0, unsigned seed = 1) {
    SceneAttempt run;
    run.sceneIndex = scene;
    run.round = round;
    int attempt = 1;
    for (const SceneAttempt& earlier : report.runs) {
        attempt += earlier.sceneIndex == scene ? 1 : 0;
    }
    run.attempt = attempt;
    run.status = status;
    run.seconds = 1.25;
    if (status == RunStatus::Ok || status == RunStatus::NoNumber) {
        run.lastLine =
            status == RunStatus::Ok ? EngineLineText(fps, seed) : "Benchmark ended without a frame rate";
        run.reading = cli::ReadLastLineValues(run.lastLine);
        while (report.sets.size() < static_cast<std::size_t>(round)) {
            report.sets.emplace_back();
        }
        report.sets[static_cast<std::size_t>(round - 1)].RecordScene(scene, run.reading.fps);
    } else {
        run.message = "The game did not end in time.";
    }
    report.runs.push_back(run);
}

// --- Rounds ----------------------------------------------------------------

TEST(ScenesOfRoundTest, RunsEverySceneNTimesThenTheVaryingOnesUpToTwiceN) {
    RunReport report = MakeReport({0, 3}, 2);
    EXPECT_EQ(cli::ScenesOfRound(report, 1), (std::vector<int>{0, 3}));
    AddRun(report, 0, 1, RunStatus::Ok, 100.0);
    AddRun(report, 3, 1, RunStatus::Ok, 50.0);
    EXPECT_EQ(cli::ScenesOfRound(report, 2), (std::vector<int>{0, 3}));
    AddRun(report, 0, 2, RunStatus::Ok, 110.0); // 6.73 % apart
    AddRun(report, 3, 2, RunStatus::Ok, 50.0);
    EXPECT_EQ(cli::ScenesOfRound(report, 3), (std::vector<int>{0}));
    AddRun(report, 0, 3, RunStatus::Ok, 105.0); // 4.76 %
    EXPECT_EQ(cli::ScenesOfRound(report, 4), (std::vector<int>{0}));
    AddRun(report, 0, 4, RunStatus::Ok, 105.0); // 3.89 %, but four runs is twice two
    EXPECT_EQ(cli::ScenesOfRound(report, 5), (std::vector<int>{}));
}

TEST(ScenesOfRoundTest, StopsAsSoonAsTheValuesSettle) {
    RunReport report = MakeReport({1}, 3);
    for (const double fps : {100.0, 108.0, 100.0}) { // 4.5 %
        AddRun(report, 1, static_cast<int>(report.runs.size()) + 1, RunStatus::Ok, fps);
    }
    EXPECT_EQ(cli::ScenesOfRound(report, 4), (std::vector<int>{1}));
    AddRun(report, 1, 4, RunStatus::Ok, 102.0); // 3.66 %
    EXPECT_EQ(cli::ScenesOfRound(report, 5), (std::vector<int>{1}));
    AddRun(report, 1, 5, RunStatus::Ok, 102.0); // 3.19 %
    EXPECT_EQ(cli::ScenesOfRound(report, 6), (std::vector<int>{}));
}

TEST(ScenesOfRoundTest, FailedRunsCountTowardsTwiceNButNotTheSpread) {
    RunReport report = MakeReport({2}, 1);
    AddRun(report, 2, 1, RunStatus::Ok, 100.0);
    EXPECT_EQ(cli::ScenesOfRound(report, 2), (std::vector<int>{})) << "one value has no spread";
    RunReport failing = MakeReport({2}, 2);
    AddRun(failing, 2, 1, RunStatus::Ok, 100.0);
    AddRun(failing, 2, 2, RunStatus::TimedOut);
    EXPECT_EQ(cli::ScenesOfRound(failing, 3), (std::vector<int>{}));
}

TEST(ScenesOfRoundTest, NothingMoreOnceStoppedOrWithoutLines) {
    RunReport report = MakeReport({0, 1}, 2);
    report.stopped = true;
    EXPECT_EQ(cli::ScenesOfRound(report, 1), (std::vector<int>{}));
    RunReport noLines = MakeReport({}, 2);
    EXPECT_EQ(cli::ScenesOfRound(noLines, 1), (std::vector<int>{}));
}

// --- Scene statistics and flags --------------------------------------------

TEST(SummarizeScenesTest, SpreadOverResultsWithFlags) {
    RunReport report = MakeReport({0, 3, 4}, 2);
    AddRun(report, 0, 1, RunStatus::Ok, 100.0, 5);
    AddRun(report, 3, 1, RunStatus::Ok, 50.0, 6284);
    AddRun(report, 4, 1, RunStatus::Ok, 60.0, 17);
    AddRun(report, 0, 2, RunStatus::Ok, 110.0, 9);
    AddRun(report, 3, 2, RunStatus::Ok, 50.0, 6284);
    AddRun(report, 4, 2, RunStatus::TimedOut);
    AddRun(report, 0, 3, RunStatus::NoNumber);

    const std::vector<cli::SceneSummary> summaries = cli::SummarizeScenes(report);
    ASSERT_EQ(summaries.size(), 3u);

    EXPECT_EQ(summaries[0].sceneIndex, 0);
    EXPECT_EQ(summaries[0].runs, 3);
    EXPECT_EQ(summaries[0].results, 2) << "a line without a number is no result";
    EXPECT_DOUBLE_EQ(*summaries[0].fps.mean, 105.0);
    EXPECT_DOUBLE_EQ(*summaries[0].fps.standardDeviation, std::sqrt(50.0));
    EXPECT_TRUE(summaries[0].extraRuns);
    EXPECT_TRUE(summaries[0].stillVaries);
    EXPECT_FALSE(summaries[0].seedsDiffer.has_value()) << "fly-bys have no sequence to compare";

    EXPECT_EQ(summaries[1].sceneIndex, 3);
    EXPECT_EQ(summaries[1].results, 2);
    EXPECT_DOUBLE_EQ(*summaries[1].fps.variationPercent, 0.0);
    EXPECT_FALSE(summaries[1].extraRuns);
    EXPECT_FALSE(summaries[1].stillVaries);
    EXPECT_EQ(summaries[1].seedsDiffer, std::optional<bool>(false));

    EXPECT_EQ(summaries[2].runs, 2);
    EXPECT_EQ(summaries[2].results, 1);
    EXPECT_EQ(summaries[2].seedsDiffer, std::optional<bool>(false)) << "one seed cannot differ";
}

TEST(SummarizeScenesTest, BotMatchSeedsThatDifferAreFlagged) {
    RunReport report = MakeReport({5}, 2);
    AddRun(report, 5, 1, RunStatus::Ok, 49.36, 6284);
    AddRun(report, 5, 2, RunStatus::Ok, 49.36, 6285);
    EXPECT_EQ(cli::SummarizeScenes(report)[0].seedsDiffer, std::optional<bool>(true));
}

// --- The score of complete sets --------------------------------------------

void AddSet(RunReport& report, int round, const std::vector<double>& fps) {
    for (int scene = 0; scene < bench::kSceneCount; ++scene) {
        AddRun(report, scene, round, RunStatus::Ok, fps[static_cast<std::size_t>(scene)]);
    }
}

TEST(SummarizeScoreTest, EachCompleteSetScoresAsTheWindowDoes) {
    RunReport report = MakeReport({0, 1, 2, 3, 4, 5}, 2);
    AddSet(report, 1, {40, 42, 44, 30, 32, 34});
    AddSet(report, 2, {41, 43, 45, 31, 33, 35});
    const cli::ScoreSummary score = cli::SummarizeScore(report);
    ASSERT_EQ(score.sets.size(), 2u);

    // The window's own sums for the same six values, in the same order.
    bench::SceneResults window;
    const double first[] = {40, 42, 44, 30, 32, 34};
    for (int scene = 0; scene < bench::kSceneCount; ++scene) {
        window.RecordScene(scene, first[scene]);
    }
    EXPECT_EQ(score.sets[0].round, 1);
    EXPECT_EQ(score.sets[0].score, bench::RunScore(window));
    EXPECT_EQ(score.sets[0].flybyAverage, bench::FlybyAverage(window));
    EXPECT_EQ(score.sets[0].botmatchAverage, bench::BotmatchAverage(window));
    EXPECT_NEAR(score.sets[0].score, 3700.0001102, 1e-6);
    EXPECT_NEAR(score.sets[1].score, 3800.0001132, 1e-6);
    EXPECT_NEAR(*score.score.mean, 3750.0001117, 1e-6);
    EXPECT_NEAR(*score.score.standardDeviation, std::sqrt(5000.0), 1e-3);
    EXPECT_NEAR(*score.flybyAverage.mean, 42.5, 1e-5);
    EXPECT_NEAR(*score.botmatchAverage.mean, 32.5, 1e-5);
}

TEST(SummarizeScoreTest, OnlySetsWhoseSixScenesAllGaveANumberCount) {
    RunReport report = MakeReport({0, 1, 2, 3, 4, 5}, 3);
    AddSet(report, 1, {40, 42, 44, 30, 32, 34});
    for (int scene = 0; scene < 5; ++scene) {
        AddRun(report, scene, 2, RunStatus::Ok, 40.0);
    }
    AddRun(report, 5, 2, RunStatus::NoNumber); // the window would count it as 0.0
    for (int scene = 0; scene < 6; ++scene) {
        AddRun(report, scene, 3, scene == 2 ? RunStatus::TimedOut : RunStatus::Ok, 40.0);
    }
    const cli::ScoreSummary score = cli::SummarizeScore(report);
    ASSERT_EQ(score.sets.size(), 1u);
    EXPECT_EQ(score.sets[0].round, 1);
    EXPECT_FALSE(score.score.standardDeviation.has_value());
}

TEST(SummarizeScoreTest, NoScoreWithoutAllSixScenes) {
    RunReport report = MakeReport({0, 1, 2, 3, 4}, 1);
    for (int scene = 0; scene < 5; ++scene) {
        AddRun(report, scene, 1, RunStatus::Ok, 40.0);
    }
    EXPECT_TRUE(cli::SummarizeScore(report).sets.empty());
}

// --- Exit status -----------------------------------------------------------

struct ExitCase {
    const char* name;
    std::vector<RunStatus> statuses;
    bool stopped;
    int exitStatus;
};

const ExitCase kExitCases[] = {
    {"AllResults", {RunStatus::Ok, RunStatus::Ok}, false, 0},
    {"NoRunAtAll", {}, false, 3},
    {"TimedOut", {RunStatus::Ok, RunStatus::TimedOut}, false, 3},
    {"NoNumber", {RunStatus::NoNumber, RunStatus::Ok}, false, 3},
    {"GameNotStarted", {RunStatus::GameNotStarted}, false, 3},
    {"NoNewResult", {RunStatus::NoNewResult}, false, 3},
    {"LogUnreadable", {RunStatus::LogUnreadable}, false, 3},
    {"StoppedDuringAGame", {RunStatus::Ok, RunStatus::Stopped}, true, 3},
    {"StoppedDuringAPause", {RunStatus::Ok}, true, 3},
};

class ExitStatusTest : public ::testing::TestWithParam<ExitCase> {};

TEST_P(ExitStatusTest, ZeroOnlyWhenEveryRunGaveAResult) {
    RunReport report = MakeReport({0}, 2);
    int round = 1;
    for (const RunStatus status : GetParam().statuses) {
        AddRun(report, 0, round++, status, 100.0);
    }
    report.stopped = GetParam().stopped;
    EXPECT_EQ(cli::ExitStatus(report), GetParam().exitStatus);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExitStatusTest, ::testing::ValuesIn(kExitCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// --- CSV -------------------------------------------------------------------

struct CsvFieldCase {
    const char* name;
    std::string field;
    std::string csv;
};

const CsvFieldCase kCsvFieldCases[] = {
    {"Plain", "Flyby 1 - DM-Antalus", "Flyby 1 - DM-Antalus"},
    {"Comma", "a,b", "\"a,b\""},
    {"Quote", "say \"hi\"", "\"say \"\"hi\"\"\""},
    {"LineBreak", "a\n\nb", "\"a\n\nb\""},
    {"CarriageReturn", "a\rb", "\"a\rb\""},
    {"Empty", "", ""},
};

class CsvFieldTest : public ::testing::TestWithParam<CsvFieldCase> {};

TEST_P(CsvFieldTest, QuotesOnlyWhereItMust) {
    EXPECT_EQ(cli::CsvField(GetParam().field), GetParam().csv);
}

INSTANTIATE_TEST_SUITE_P(Cases, CsvFieldTest, ::testing::ValuesIn(kCsvFieldCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct HeaderCase {
    const char* name;
    std::vector<int> scenes;
    int runs;
    bench::Renderer renderer;
    bench::Detail detail;
    const char* resolution;
    const char* optionsLine;
};

const HeaderCase kHeaderCases[] = {
    {"Defaults",
     {0, 1, 2, 3, 4, 5},
     3,
     bench::Renderer::Direct3D,
     bench::Detail::High,
     "1024x768",
     "Options:     Direct3D 8.1, High, 1024x768; 6 scenes, 3 runs each; time-out 291 s per scene run\n"},
    {"OneOfEach",
     {4},
     1,
     bench::Renderer::OpenGL,
     bench::Detail::Low,
     "640x480",
     "Options:     OpenGL ICD, Low, 640x480; 1 scene, 1 run each; time-out 291 s per scene run\n"},
};

class HeaderTextTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderTextTest, NamesTheMachineAndTheOptions) {
    const HeaderCase& c = GetParam();
    RunReport report = MakeReport(c.scenes, c.runs);
    report.options.renderer = c.renderer;
    report.options.detail = c.detail;
    report.options.resolutionText = c.resolution;
    EXPECT_EQ(cli::HeaderText(report), std::string("korvane-cli 1.00 Alpha1\n"
                                                   "Processor:   Intel(R) Pentium(R) III\n"
                                                   "Frequency:   1466.53 MHz\n"
                                                   "Cache:       32k L1, 256k L2\n"
                                                   "RAM Size:    257 MByte\n"
                                                   "OS Name:     Windows XP\n"
                                                   "Video Card:  RADEON 9700\n") +
                                           c.optionsLine + "\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, HeaderTextTest, ::testing::ValuesIn(kHeaderCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ReportCsvTest, OneRowPerSceneRun) {
    RunReport report = MakeReport({0, 3}, 1);
    AddRun(report, 0, 1, RunStatus::Ok, 41.5, 6284);
    AddRun(report, 3, 1, RunStatus::TimedOut);
    AddRun(report, 3, 2, RunStatus::NoNumber);
    EXPECT_EQ(
        cli::ReportCsv(report),
        "round,attempt,scene,name,status,seconds,fps,min_fps,avg_fps,max_fps,score,rand,last_line,message\r\n"
        "1,1,0,Flyby 1 - DM-Antalus,ok,1.250,41.5,20.75,41.5,83,41.5,6284,"
        "20.750000 / 41.500000 / 83.000000 fps -- Score = 41.500000        rand[6284],\r\n"
        "1,1,3,Botmatch1 - DM-Antalus,timed-out,1.250,,,,,,,,The game did not end in time.\r\n"
        "2,2,3,Botmatch1 - DM-Antalus,no-number,1.250,0,,,,,,Benchmark ended without a frame rate,\r\n");
}

// --- Results table ---------------------------------------------------------

TEST(ResultsTextTest, ScenesThenEveryCompleteSetThenTheScore) {
    RunReport report = MakeReport({0, 1, 2, 3, 4, 5}, 1);
    AddSet(report, 1, {40, 42, 44, 30, 32, 34});
    AddRun(report, 0, 2, RunStatus::Ok, 48.0);
    EXPECT_EQ(
        cli::ResultsText(report),
        "Scene                    Runs Results  Mean fps  Std dev  Variation  Notes\n"
        "Flyby 1 - DM-Antalus        2       2     44.00     5.66    12.86 %  run again for its spread; "
        "varies by 3.5 % or more\n"
        "Flyby 2 - DM-Asbestos       1       1     42.00        -          -\n"
        "Flyby 3 - CTF-Citadel       1       1     44.00        -          -\n"
        "Botmatch1 - DM-Antalus      1       1     30.00        -          -\n"
        "Botmatch2 - DM-Asbestos     1       1     32.00        -          -\n"
        "Botmatch3 - CTF-Citadel     1       1     34.00        -          -\n"
        "\n"
        "Run 1: 3700 Korvanes, Flyby scenes 42.00 fps, Botmatch scenes 32.00 fps\n"
        "Score: 3700 Korvanes, the mean of 1 complete run\n"
        "Flyby scenes: 42.00 fps, Botmatch scenes: 32.00 fps\n");
}

TEST(ResultsTextTest, FailuresSeedsAndAStopAreNoted) {
    RunReport report = MakeReport({3}, 2);
    AddRun(report, 3, 1, RunStatus::Ok, 50.0, 1);
    AddRun(report, 3, 2, RunStatus::Ok, 50.0, 2);
    AddRun(report, 3, 3, RunStatus::Stopped);
    report.stopped = true;
    EXPECT_EQ(
        cli::ResultsText(report),
        "Scene                    Runs Results  Mean fps  Std dev  Variation  Notes\n"
        "Botmatch1 - DM-Antalus      3       2     50.00     0.00     0.00 %  run again for its spread; "
        "rand[] seeds differ: not the same sequence; 1 run without a result\n"
        "\n"
        "Score: N/A (the score needs all six scenes)\n"
        "Stopped by Ctrl-C: the runs above are all that was measured.\n");
}

TEST(ProgressTextTest, OneLinePerRunWithTheReasonBelowAFailure) {
    RunReport report = MakeReport({0}, 2);
    AddRun(report, 0, 1, RunStatus::Ok, 118.43);
    AddRun(report, 0, 2, RunStatus::TimedOut);
    AddRun(report, 0, 3, RunStatus::Ok, 120.0);
    EXPECT_EQ(cli::ProgressText(report, report.runs[0], 4.9),
              "[0:04] Flyby 1 - DM-Antalus     run 1 of 2             1.2 s   118.43 fps\n");
    EXPECT_EQ(cli::ProgressText(report, report.runs[1], 3725.0),
              "[1:02:05] Flyby 1 - DM-Antalus     run 2 of 2             1.2 s   timed out\n"
              "    The game did not end in time.\n");
    EXPECT_EQ(cli::ProgressText(report, report.runs[2], 61.0),
              "[1:01] Flyby 1 - DM-Antalus     run 3 of up to 4       1.2 s   120.00 fps\n");
}

// --- JSON ------------------------------------------------------------------

std::optional<jsoncheck::Value> Schema() {
    const std::optional<std::string> text = ReadBytes(SourcePath("docs/cli-json-schema.json"));
    if (!text) {
        return std::nullopt;
    }
    return jsoncheck::Parse(*text);
}

struct JsonCase {
    const char* name;
    RunReport report;
};

std::vector<JsonCase> JsonCases() {
    std::vector<JsonCase> cases;
    cases.push_back({"NoRunYet", MakeReport({0}, 1)});
    RunReport composeFailed = MakeReport({}, 3);
    composeFailed.options.scenes.fill(true);
    composeFailed.composeMessage =
        "The game's command line for the scene \"Flyby 1 - DM-Antalus\" would be 300 "
        "characters long";
    cases.push_back({"LinesNotComposed", composeFailed});
    RunReport full = MakeReport({0, 1, 2, 3, 4, 5}, 2);
    AddSet(full, 1, {40, 42, 44, 30, 32, 34});
    AddSet(full, 2, {41, 43, 45, 31, 33, 35});
    cases.push_back({"TwoCompleteSets", full});
    RunReport failures = MakeReport({2, 5}, 1);
    AddRun(failures, 2, 1, RunStatus::TimedOut);
    AddRun(failures, 5, 1, RunStatus::NoNumber);
    AddRun(failures, 5, 2, RunStatus::Stopped);
    failures.stopped = true;
    failures.machine.osName = "Windows \xFC"; // a byte of the ANSI code page
    cases.push_back({"FailuresAndAStop", failures});
    return cases;
}

TEST(ReportJsonTest, EveryReportMatchesTheDocumentedSchema) {
    const std::optional<jsoncheck::Value> schema = Schema();
    ASSERT_TRUE(schema.has_value()) << "cannot read " << SourcePath("docs/cli-json-schema.json");
    jsoncheck::SchemaChecker checker(*schema);
    for (const JsonCase& c : JsonCases()) {
        SCOPED_TRACE(c.name);
        std::string error;
        const std::optional<jsoncheck::Value> json = jsoncheck::Parse(cli::ReportJson(c.report), &error);
        ASSERT_TRUE(json.has_value()) << error;
        EXPECT_EQ(checker.Check(*json), std::vector<std::string>());
    }
}

TEST(ReportJsonTest, TheSchemaCatchesAWrongReport) {
    const std::optional<jsoncheck::Value> schema = Schema();
    ASSERT_TRUE(schema.has_value());
    jsoncheck::SchemaChecker checker(*schema);
    RunReport report = MakeReport({0}, 1);
    AddRun(report, 0, 1, RunStatus::Ok, 50.0);
    std::string text = cli::ReportJson(report);
    const std::size_t status = text.find("\"status\": \"ok\"");
    ASSERT_NE(status, std::string::npos);
    text.replace(status, std::string("\"status\": \"ok\"").size(), "\"status\": \"fine\"");
    const std::optional<jsoncheck::Value> json = jsoncheck::Parse(text);
    ASSERT_TRUE(json.has_value());
    EXPECT_EQ(checker.Check(*json),
              std::vector<std::string>{"$.runs[0].status: not one of the enum's values"});
}

TEST(ReportJsonTest, HoldsEveryValueOfEveryRun) {
    RunReport report = MakeReport({0, 1, 2, 3, 4, 5}, 1);
    AddSet(report, 1, {40, 42, 44, 30, 32, 34});
    AddRun(report, 3, 2, RunStatus::TimedOut);
    const std::optional<jsoncheck::Value> json = jsoncheck::Parse(cli::ReportJson(report));
    ASSERT_TRUE(json.has_value());
    const jsoncheck::Value& j = *json;
    EXPECT_EQ(j["korvaneVersion"].text, "1.00 Alpha1");
    EXPECT_EQ(j["machine"]["frequency"].text, "1466.53 MHz");
    EXPECT_EQ(j["options"]["renderer"].text, "d3d");
    EXPECT_EQ(j["options"]["timeoutSeconds"].number, 291);
    ASSERT_EQ(j["commandLines"].elements.size(), 6u);
    EXPECT_EQ(j["commandLines"].elements[4]["commandLine"].text, "C:\\UT\\System\\UT2003.exe line 4");
    ASSERT_EQ(j["runs"].elements.size(), 7u);
    const jsoncheck::Value& first = j["runs"].elements[0];
    EXPECT_EQ(first["fps"].number, 40.0);
    EXPECT_EQ(first["engineLine"]["minFps"].number, 20.0);
    EXPECT_EQ(first["engineLine"]["maxFps"].number, 80.0);
    EXPECT_EQ(first["engineLine"]["rand"].number, 1.0);
    const jsoncheck::Value& timedOut = j["runs"].elements[6];
    EXPECT_EQ(timedOut["status"].text, "timed-out");
    EXPECT_TRUE(timedOut["fps"].IsNull());
    EXPECT_EQ(timedOut["message"].text, "The game did not end in time.");
    EXPECT_EQ(j["scenes"].elements[3]["runs"].number, 2);
    EXPECT_EQ(j["scenes"].elements[3]["results"].number, 1);
    ASSERT_EQ(j["score"]["sets"].elements.size(), 1u);
    EXPECT_NEAR(j["score"]["sets"].elements[0]["korvanes"].number, 3700.0001102, 1e-6);
    EXPECT_EQ(j["exitStatus"].number, 3);
}

TEST(ReportJsonTest, TextsGoThroughTheConverter) {
    RunReport report = MakeReport({0}, 1);
    report.machine.osName = "Windows \xFC";
    const std::string json =
        cli::ReportJson(report, [](const std::string& text) { return "<" + text + ">"; });
    EXPECT_NE(json.find("\"osName\": \"<Windows \xC3\xBC>\""), std::string::npos) << json;
}

} // namespace
