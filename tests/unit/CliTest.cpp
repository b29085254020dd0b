// korvane-cli's platform-free side: its arguments, the statistics and the repeat
// rule, which scenes each round runs, the score of complete sets, the exit
// status, and every text and file it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "SourceTree.h"
#include "bench/SceneScore.h"
#include "cli/CliArguments.h"
#include "cli/JsonWriter.h"
#include "cli/ReportCsv.h"
#include "cli/ReportHtml.h"
#include "cli/ReportJson.h"
#include "cli/ReportText.h"
#include "cli/RunReport.h"

namespace {

using cli::RunReport;
using cli::RunStatus;

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// --- Arguments ---------------------------------------------------------------

// The parsed options in one line: command, renderer, detail, resolution,
// scenes, runs, time-out, JSON file, CSV file, quiet.
std::string Describe(const std::vector<std::string>& arguments) {
    const cli::ParsedArguments parsed = cli::ParseArguments(arguments);
    if (!parsed.error.empty()) {
        return "error: " + parsed.error;
    }
    const cli::CliOptions& o = parsed.options;
    std::string scenes;
    for (const bool chosen : o.scenes) {
        scenes += chosen ? '1' : '0';
    }
    const auto join = [](const auto& values, auto name) {
        std::string joined;
        for (const auto& value : values) {
            joined += (joined.empty() ? "" : "+") + std::string(name(value));
        }
        return joined;
    };
    const char* commands[] = {"run", "help", "version"};
    return std::string(commands[static_cast<int>(parsed.command)]) + " " +
           join(o.renderers, cli::RendererArgumentName) + " " + join(o.details, cli::DetailArgumentName) +
           " " + join(o.resolutions, [](const std::string& text) { return text; }) + " " + scenes + " " +
           std::to_string(o.runs) + " " + (o.timeoutSeconds ? std::to_string(*o.timeoutSeconds) : "-") +
           " [" + o.jsonPath + "] [" + o.csvPath + "] " + (o.quiet ? "quiet" : "-");
}

TEST(CliArgumentsTest, OptionsOrTheMessageThatNamesABadArgument) {
    const std::string E = "error: ";
    const std::string sceneHelp = "; give all, or names (flyby1, flyby2, flyby3, botmatch1, botmatch2, "
                                  "botmatch3) or indexes (0 to 5) separated by commas";
    const std::string list = " (or a list of them separated by commas, or all), not ";
    const std::string resolutions =
        "--resolution takes 640x480, 800x600, 1024x768, 1280x1024 or 1600x1200" + list;
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "run d3d high 1024x768 111111 3 - [] [] -"},
        {{"--renderer", "opengl", "--detail", "low", "--resolution", "640x480"},
         "run opengl low 640x480 111111 3 - [] [] -"},
        {{"--renderer=OpenGL", "--detail=LOW", "--resolution=1600X1200"},
         "run opengl low 1600x1200 111111 3 - [] [] -"},
        {{"--renderer=all", "--detail", "Low,high,low"},
         "run opengl+d3d high+low 1024x768 111111 3 - [] [] -"},
        {{"--resolution", "1600x1200,640X480,1600x1200", "--renderer", "d3d,opengl"},
         "run opengl+d3d high 640x480+1600x1200 111111 3 - [] [] -"},
        {{"--resolution=ALL"},
         "run d3d high 640x480+800x600+1024x768+1280x1024+1600x1200 111111 3 - [] [] -"},
        {{"--scenes", "botmatch1,flyby3"}, "run d3d high 1024x768 001100 3 - [] [] -"},
        {{"--scenes", "flyby2,4,botmatch3"}, "run d3d high 1024x768 010011 3 - [] [] -"},
        {{"--scenes=0,5"}, "run d3d high 1024x768 100001 3 - [] [] -"},
        {{"--scenes", "2,FLYBY3"}, "run d3d high 1024x768 001000 3 - [] [] -"},
        {{"--scenes", "botmatch2"}, "run d3d high 1024x768 000010 3 - [] [] -"},
        {{"--scenes", "all"}, "run d3d high 1024x768 111111 3 - [] [] -"},
        {{"--runs", "1", "--timeout=5"}, "run d3d high 1024x768 111111 1 5 [] [] -"},
        {{"--runs=100", "--timeout", "86400"}, "run d3d high 1024x768 111111 100 86400 [] [] -"},
        {{"--json", "C:\\out dir\\run.json", "--csv=run.csv", "--quiet"},
         "run d3d high 1024x768 111111 3 - [C:\\out dir\\run.json] [run.csv] quiet"},
        {{"--help"}, "help d3d high 1024x768 111111 3 - [] [] -"},
        {{"/?"}, "help d3d high 1024x768 111111 3 - [] [] -"},
        {{"-h"}, "help d3d high 1024x768 111111 3 - [] [] -"},
        {{"--version"}, "version d3d high 1024x768 111111 3 - [] [] -"},
        {{"--version", "--help"}, "help d3d high 1024x768 111111 3 - [] [] -"},
        // clang-format off
        {{"--frobnicate"}, E + "unknown argument \"--frobnicate\""}, {{"flyby1"}, E + "unknown argument \"flyby1\""},
        {{"-runs", "2"}, E + "unknown argument \"-runs\""},
        {{"--runs", "0"}, E + "--runs takes a whole number from 1 to 100, not \"0\""},
        {{"--runs", "101"}, E + "--runs takes a whole number from 1 to 100, not \"101\""},
        {{"--runs", "2.5"}, E + "--runs takes a whole number from 1 to 100, not \"2.5\""},
        {{"--runs", "99999999999"}, E + "--runs takes a whole number from 1 to 100, not \"99999999999\""},
        {{"--runs"}, E + "--runs needs a value"},
        {{"--timeout", "0"}, E + "--timeout takes whole seconds from 1 to 86400, not \"0\""},
        {{"--timeout", "86401"}, E + "--timeout takes whole seconds from 1 to 86400, not \"86401\""},
        {{"--timeout", "30s"}, E + "--timeout takes whole seconds from 1 to 86400, not \"30s\""},
        {{"--renderer", "vulkan"}, E + "--renderer takes d3d or opengl" + list + "\"vulkan\""},
        {{"--renderer", "d3d,all"}, E + "--renderer takes d3d or opengl" + list + "\"all\""},
        {{"--detail=medium"}, E + "--detail takes high or low" + list + "\"medium\""},
        {{"--detail=high,"}, E + "--detail takes high or low" + list + "\"\""},
        {{"--resolution", "1024x769"}, E + resolutions + "\"1024x769\""},
        {{"--resolution", "640x480,,800x600"}, E + resolutions + "\"\""},
        {{"--scenes", "flyby1,flyby4"}, E + "--scenes: \"flyby4\" is no scene" + sceneHelp},
        {{"--scenes", "6"}, E + "--scenes: \"6\" is no scene" + sceneHelp},
        {{"--scenes", "flyby1,"}, E + "--scenes: \"\" is no scene" + sceneHelp},
        {{"--json="}, E + "--json needs a file name"},
        {{"--runs", "2", "--runs", "3"}, E + "--runs is given more than once"},
        {{"--json", "out.txt", "--csv", "out.txt"}, E + "--json and --csv name the same file"},
        {{"--html", "a", "--json", "a"}, E + "--json and --html name the same file"},
        {{"--csv=x", "--html=x"}, E + "--csv and --html name the same file"}, {{"--html="}, E + "--html needs a file name"},
        {{"--help", "--bogus"}, E + "unknown argument \"--bogus\""},
        // clang-format on
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(Describe(arguments), expected) << ::testing::PrintToString(arguments);
    }
}

TEST(CliArgumentsTest, ConfigurationsRendererThenDetailThenResolutionInTheWindowsOrder) {
    const cli::CliOptions options =
        cli::ParseArguments({"--renderer", "all", "--detail", "low,high", "--resolution", "800x600,640x480"})
            .options;
    EXPECT_EQ(cli::ConfigurationText(options), "OpenGL ICD, High, 640x480") << "the first configuration";
    std::string texts;
    for (const cli::CliOptions& configuration : cli::Configurations(options)) {
        texts += cli::ConfigurationText(configuration) + "; ";
        EXPECT_EQ(cli::Configurations(configuration).size(), 1u);
        EXPECT_EQ(configuration.runs, options.runs);
    }
    EXPECT_EQ(texts, "OpenGL ICD, High, 640x480; OpenGL ICD, High, 800x600; OpenGL ICD, Low, 640x480; "
                     "OpenGL ICD, Low, 800x600; Direct3D 8.1, High, 640x480; Direct3D 8.1, High, 800x600; "
                     "Direct3D 8.1, Low, 640x480; Direct3D 8.1, Low, 800x600; ");
    EXPECT_EQ(cli::Configurations(cli::CliOptions()).size(), 1u);
}

// --- Statistics --------------------------------------------------------------

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

// --- A run's report ----------------------------------------------------------

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
    cli::SceneAttempt run;
    run.sceneIndex = scene;
    run.round = round;
    run.attempt = 1;
    for (const cli::SceneAttempt& earlier : report.runs) {
        run.attempt += earlier.sceneIndex == scene ? 1 : 0;
    }
    run.status = status;
    run.seconds = 1.25;
    if (status == RunStatus::Ok || status == RunStatus::NoNumber) {
        run.lastLine =
            status == RunStatus::Ok ? EngineLineText(fps, seed) : "Benchmark ended without a frame rate";
        run.reading = cli::ReadLastLineValues(run.lastLine);
        report.sets.resize(std::max(report.sets.size(), static_cast<std::size_t>(round)));
        report.sets[static_cast<std::size_t>(round - 1)].RecordScene(scene, run.reading.fps);
    } else {
        run.message = "The game did not end in time.";
    }
    report.runs.push_back(run);
}

void AddSet(RunReport& report, int round, const std::vector<double>& fps) {
    for (int scene = 0; scene < bench::kSceneCount; ++scene) {
        AddRun(report, scene, round, RunStatus::Ok, fps[static_cast<std::size_t>(scene)]);
    }
}

TEST(RunReportTest, EverySceneNTimesThenTheVaryingOnesUpToTwiceN) {
    RunReport report = MakeReport({0, 3}, 2);
    EXPECT_EQ(cli::ScenesOfRound(report, 1), (std::vector<int>{0, 3}));
    AddRun(report, 0, 1, RunStatus::Ok, 100.0);
    AddRun(report, 3, 1, RunStatus::Ok, 50.0);
    EXPECT_EQ(cli::ScenesOfRound(report, 2), (std::vector<int>{0, 3}));
    AddRun(report, 0, 2, RunStatus::Ok, 110.0); // 6.73 %
    AddRun(report, 3, 2, RunStatus::Ok, 50.0);
    EXPECT_EQ(cli::ScenesOfRound(report, 3), (std::vector<int>{0}));
    AddRun(report, 0, 3, RunStatus::Ok, 105.0); // 4.76 %
    EXPECT_EQ(cli::ScenesOfRound(report, 4), (std::vector<int>{0}));
    AddRun(report, 0, 4, RunStatus::Ok, 105.0); // 3.89 %, but four runs is twice two
    EXPECT_EQ(cli::ScenesOfRound(report, 5), (std::vector<int>{}));
    RunReport settling = MakeReport({1}, 3);
    for (const double fps : {100.0, 108.0, 100.0, 102.0, 102.0}) { // 4.5 %, 3.66 %, 3.19 %
        AddRun(settling, 1, static_cast<int>(settling.runs.size()) + 1, RunStatus::Ok, fps);
    }
    EXPECT_EQ(cli::ScenesOfRound(settling, 6), (std::vector<int>{}));
    settling.runs.pop_back();
    EXPECT_EQ(cli::ScenesOfRound(settling, 5), (std::vector<int>{1}));
    RunReport failing = MakeReport({2}, 2); // a failed run counts towards 2N, not the spread
    AddRun(failing, 2, 1, RunStatus::Ok, 100.0);
    AddRun(failing, 2, 2, RunStatus::TimedOut);
    EXPECT_EQ(cli::ScenesOfRound(failing, 3), (std::vector<int>{}));
    report = MakeReport({0, 1}, 2);
    report.stopped = true;
    EXPECT_EQ(cli::ScenesOfRound(report, 1), (std::vector<int>{}));
    EXPECT_EQ(cli::ScenesOfRound(MakeReport({}, 2), 1), (std::vector<int>{}));
}

TEST(RunReportTest, ExitStatusIsZeroOnlyWhenEveryRunGaveAResult) {
    const struct {
        std::vector<RunStatus> statuses;
        bool stopped;
        int exitStatus;
    } cases[] = {
        // clang-format off
        {{RunStatus::Ok, RunStatus::Ok}, false, 0}, {{}, false, 3},
        {{RunStatus::Ok, RunStatus::TimedOut}, false, 3}, {{RunStatus::NoNumber, RunStatus::Ok}, false, 3},
        {{RunStatus::GameNotStarted}, false, 3}, {{RunStatus::NoNewResult}, false, 3},
        {{RunStatus::LogUnreadable}, false, 3}, {{RunStatus::Ok, RunStatus::Stopped}, true, 3},
        {{RunStatus::Ok}, true, 3},
        // clang-format on
    };
    for (const auto& c : cases) {
        RunReport report = MakeReport({0}, 2);
        for (const RunStatus status : c.statuses) {
            AddRun(report, 0, static_cast<int>(report.runs.size()) + 1, status, 100.0);
        }
        report.stopped = c.stopped;
        EXPECT_EQ(cli::ExitStatus(report), c.exitStatus)
            << report.runs.size() << " runs, stopped " << c.stopped;
        RunReport good = MakeReport({0}, 1);
        AddRun(good, 0, 1, RunStatus::Ok, 100.0);
        EXPECT_EQ(cli::ExitStatus(std::vector<RunReport>{good, report}), c.exitStatus) << "in a sweep";
        EXPECT_EQ(cli::ExitStatus(std::vector<RunReport>{report, good}), c.exitStatus) << "in a sweep";
    }
    EXPECT_EQ(cli::ExitStatus(std::vector<RunReport>{}), 3);
}

// --- Texts and files ---------------------------------------------------------

TEST(ReportTextTest, ProgressLines) {
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
    EXPECT_EQ(cli::ProgressText(report, report.runs[2], 75.0, true),
              "[1:15] Direct3D 8.1, High, 1024x768:  Flyby 1 - DM-Antalus     run 3 of up to 4       1.2 s   "
              "120.00 fps\n");
    EXPECT_EQ(cli::ExtraRunText(report, 0),
              "Flyby 1 - DM-Antalus varies by 0.93 % over 2 results: one more run\n");
    EXPECT_EQ(cli::ExtraRunText(report, 1), "");
    const std::pair<std::string, std::string> fields[] = {
        // clang-format off
        {"Flyby 1 - DM-Antalus", "Flyby 1 - DM-Antalus"}, {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"a\n\nb", "\"a\n\nb\""}, {"a\rb", "\"a\rb\""}, {"", ""},
        // clang-format on
    };
    for (const auto& [field, csv] : fields) {
        EXPECT_EQ(cli::CsvField(field), csv);
    }
}

// Two configurations of a resolution sweep: 640x480, then 800x600.
std::vector<RunReport> Sweep() {
    RunReport low = MakeReport({0, 3}, 1);
    low.options.renderers = {bench::Renderer::Direct3D};
    low.options.resolutions = {"640x480", "800x600"};
    low.machine.videoCard = "RADEON <9700> & \"Pro\"";
    RunReport high = low;
    low.options.resolutionText = "640x480";
    high.options.resolutionText = "800x600";
    AddRun(low, 0, 1, RunStatus::Ok, 120.0, 6284);
    AddRun(low, 3, 1, RunStatus::Ok, 60.0, 6284);
    AddRun(high, 0, 1, RunStatus::Ok, 100.0, 6284);
    AddRun(high, 3, 1, RunStatus::TimedOut);
    return {low, high};
}

// The calls whose files tests/data/reports holds: header and results as the
// console shows them (.txt), CSV, JSON and HTML. The JSON files are checked
// against the schema and the pages drawn by a browser after this program.
std::vector<std::pair<const char*, std::vector<RunReport>>> SampleReports() {
    RunReport openGl = MakeReport({4}, 1);
    openGl.options.renderer = bench::Renderer::OpenGL;
    openGl.options.detail = bench::Detail::Low;
    openGl.options.resolutionText = "640x480";
    RunReport composeFailed = MakeReport({}, 3);
    composeFailed.options.scenes.fill(true);
    composeFailed.composeMessage =
        "The game's command line for the scene \"Flyby 1 - DM-Antalus\" would be 300 characters long";
    RunReport oneAgain = MakeReport({0, 1, 2, 3, 4, 5}, 1);
    AddSet(oneAgain, 1, {40, 42, 44, 30, 32, 34});
    AddRun(oneAgain, 0, 2, RunStatus::Ok, 48.0);
    RunReport full = MakeReport({0, 1, 2, 3, 4, 5}, 2);
    AddSet(full, 1, {40, 42, 44, 30, 32, 34});
    AddSet(full, 2, {41, 43, 45, 31, 33, 35});
    for (int scene = 0; scene < 6; ++scene) { // no set: the window would count "no number" as 0.0
        AddRun(full, scene, 3, scene == 5 ? RunStatus::NoNumber : RunStatus::Ok, 40.0);
        AddRun(full, scene, 4, scene == 2 ? RunStatus::TimedOut : RunStatus::Ok, 40.0);
    }
    RunReport failures = MakeReport({2, 5}, 1);
    failures.options.renderer = bench::Renderer::OpenGL;
    AddRun(failures, 2, 1, RunStatus::TimedOut);
    AddRun(failures, 5, 1, RunStatus::NoNumber);
    AddRun(failures, 2, 2, RunStatus::Ok, 41.5, 6284);
    AddRun(failures, 5, 2, RunStatus::Stopped);
    failures.stopped = true;
    failures.machine.osName = "Windows \xFC"; // a byte of the ANSI code page
    RunReport seeds = MakeReport({3}, 2);
    AddRun(seeds, 3, 1, RunStatus::Ok, 50.0, 1);
    AddRun(seeds, 3, 2, RunStatus::Ok, 50.0, 2);
    AddRun(seeds, 3, 3, RunStatus::Stopped);
    seeds.stopped = true;
    std::vector<RunReport> stoppedSweep = Sweep();
    stoppedSweep[1].stopped = true;
    return {{"opengl-no-run-yet", {openGl}},     {"lines-not-composed", {composeFailed}},
            {"one-scene-again", {oneAgain}},     {"two-complete-sets", {full}},
            {"failures-and-a-stop", {failures}}, {"seeds-differ-stopped", {seeds}},
            {"resolution-sweep", Sweep()},       {"sweep-stopped", stoppedSweep}};
}

TEST(ReportFilesTest, EverySampleInEveryFormatAsItsExpectedFile) {
    for (const auto& [name, reports] : SampleReports()) {
        const std::string file = std::string("reports/") + name;
        sourcetree::ExpectFile(file + ".txt", cli::HeaderText(reports[0]) + cli::ResultsText(reports));
        sourcetree::ExpectFile(file + ".csv", cli::ReportCsv(reports));
        sourcetree::ExpectFile(file + ".json", cli::ReportJson(reports));
        const std::string page = cli::ReportHtml(reports);
        sourcetree::ExpectFile(file + ".html", page);
        for (const char* outside : {"<script", "http", "src=", "url(", "<link", "@import", "@font-face"}) {
            EXPECT_EQ(Count(page, outside), 0) << outside << " in " << name;
        }
    }
    const std::vector<RunReport> sweep = Sweep();
    EXPECT_EQ(cli::ResultsText({sweep[0]}), cli::ResultsText(sweep[0])) << "one configuration as before";
    const std::string converted =
        cli::ReportJson(SampleReports()[4].second, [](const std::string& text) { return "<" + text + ">"; });
    EXPECT_EQ(Count(converted, "\"osName\": \"<Windows \xC3\xBC>\""), 1) << "the system's conversion is used";
}

// The layout is the expected report files' (every JSON the program writes goes
// through the writer); here the strings and numbers at their edges.
TEST(JsonWriterTest, StringsAndNumbers) {
    const std::pair<std::string, std::string> strings[] = {
        {"C:\\UT2003 \"demo\"", "\"C:\\\\UT2003 \\\"demo\\\"\""},
        {"a\n\nb\r\t\b\f", "\"a\\n\\nb\\r\\t\\b\\f\""},
        {std::string("\x01\x1f\0", 3), "\"\\u0001\\u001f\\u0000\""},
        {"M\xC3\xBCnchen \xE2\x82\xAC \xF0\x9F\x98\x80", "\"M\xC3\xBCnchen \xE2\x82\xAC \xF0\x9F\x98\x80\""},
        {"M\xFCnchen", "\"M\xC3\xBCnchen\""},                         // a lone high byte is read as Latin-1
        {"\xE2\x82", "\"\xC3\xA2\xC2\x82\""},                         // a cut-off sequence
        {"\xC0\xAF", "\"\xC3\x80\xC2\xAF\""},                         // an overlong form
        {"\xED\xA0\x80", "\"\xC3\xAD\xC2\xA0\xC2\x80\""},             // a surrogate
        {"\x7F\xDF\xBF\xEF\xBF\xBF", "\"\x7F\xDF\xBF\xEF\xBF\xBF\""}, // the last of each length
    };
    for (const auto& [text, expected] : strings) {
        EXPECT_EQ(cli::JsonString(text), expected);
    }
    const std::pair<double, const char*> numbers[] = {
        // clang-format off
        {0.0, "0"}, {3700.0, "3700"}, {41.762527, "41.762527"}, {0.1, "0.1"}, {3700.0001102, "3700.0001102"},
        {static_cast<double>(269.4f), "269.3999938964844"}, {1e21, "1e+21"}, {1.5e-7, "1.5e-07"},
        {-2.5, "-2.5"}, {std::numeric_limits<double>::infinity(), "null"},
        {-std::numeric_limits<double>::infinity(), "null"},
        {std::numeric_limits<double>::quiet_NaN(), "null"},
        // clang-format on
    };
    for (const auto& [value, expected] : numbers) {
        EXPECT_EQ(cli::JsonNumber(value), expected);
    }
}

} // namespace
