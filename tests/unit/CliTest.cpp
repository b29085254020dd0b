// korvane-cli's platform-free side: its arguments, the statistics and the repeat
// rule, which scenes each round runs, the exit status, every text and file it
// writes, and compare: Welch's interval against hand-computed cases, the
// verdicts and the exit status, reading reports back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "SourceTree.h"
#include "bench/SceneScore.h"
#include "cli/CliArguments.h"
#include "cli/Compare.h"
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

// What the arguments parse to in one line, as tests/data/cli-arguments.txt has it.
std::string Describe(const std::vector<std::string>& arguments) {
    const cli::ParsedArguments parsed = cli::ParseArguments(arguments);
    const cli::CliOptions& o = parsed.options;
    const cli::CompareOptions& c = parsed.compare;
    if (!parsed.error.empty() || parsed.command == cli::Command::Compare) {
        return !parsed.error.empty()
                   ? "error: " + parsed.error
                   : "compare [" + c.basePath + "] [" + c.newPath + "] [" + c.jsonPath + "] " +
                         (c.failBelowPercent ? std::to_string(*c.failBelowPercent) : "-");
    }
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

// Run and compare, good arguments and each way of getting them wrong.
TEST(CliArgumentsTest, OptionsOrTheMessageThatNamesABadArgument) {
    const std::vector<std::vector<std::string>> cases = sourcetree::ReadTable("cli-arguments.txt");
    EXPECT_GE(cases.size(), 60u);
    for (const std::vector<std::string>& row : cases) {
        std::vector<std::string> arguments;
        for (std::string rest = row[0]; !rest.empty();) {
            const std::size_t end = rest.find(" | ");
            arguments.push_back(rest.substr(0, end));
            rest = end == std::string::npos ? "" : rest.substr(end + 3);
        }
        EXPECT_EQ(Describe(arguments), row.at(1)) << row[0];
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
    const auto samples = SampleReports();
    for (const auto& [name, reports] : samples) {
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
        cli::ReportJson(samples.at(4).second, [](const std::string& text) { return "<" + text + ">"; });
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

// --- compare -----------------------------------------------------------------

using cli::CompareValues;
using cli::ReportValues;
using cli::Verdict;

TEST(CompareTest, WelchSatterthwaiteDegreesOfFreedomAndTheTQuantile) {
    // Variances and sizes, base then new; by hand: (v1/n1 + v2/n2)^2 / ((v1/n1)^2/(n1-1) + (v2/n2)^2/(n2-1)).
    const struct {
        double baseVariance;
        std::size_t baseCount;
        double newVariance;
        std::size_t newCount;
        double degreesOfFreedom;
    } cases[] = {
        {4, 3, 8, 2, 32.0 / 19.0}, {2, 2, 2, 2, 2.0}, {1, 6, 1, 6, 10.0},
        {0, 3, 9, 4, 3.0},         {9, 5, 0, 2, 4.0}, {1, 2, 100, 50, 18.846153846153847},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(cli::WelchDegreesOfFreedom(c.baseVariance, c.baseCount, c.newVariance, c.newCount),
                    c.degreesOfFreedom, 1e-12)
            << c.baseVariance << " " << c.baseCount << " " << c.newVariance << " " << c.newCount;
    }
    // From the tables of Student's t, two-sided 95 %.
    const std::pair<double, double> quantiles[] = {
        {1, 12.706204736}, {2, 4.302652730},  {4, 2.776445105},
        {10, 2.228138852}, {30, 2.042272456}, {1e7, 1.959964},
    };
    for (const auto& [degrees, t] : quantiles) {
        EXPECT_NEAR(cli::StudentT975(degrees), t, 1e-6) << degrees;
    }
}

TEST(CompareTest, DifferenceInPercentWithItsInterval) {
    const struct {
        std::vector<double> base, now;
        std::optional<double> percent, low, high;
        const char* noInterval;
    } cases[] = {
        // Means 11 and 21, both deviations sqrt(2): 2 degrees of freedom, t = 4.302653,
        // a margin of 6.084912 around 10 over 11.
        {{10, 12}, {20, 22}, 90.909090909, 35.592092320, 146.226089498, nullptr},
        // Means 100 and 97, deviations 0.894427: 10 degrees, t = 2.228139, margin 1.150606.
        {{99, 100, 101, 99, 100, 101}, {96, 97, 98, 96, 97, 98}, -3.0, -4.150605956, -1.849394044, nullptr},
        {{100}, {90, 92}, -9.0, std::nullopt, std::nullopt, "one run"},
        {{100, 104}, {95}, -6.862745098, std::nullopt, std::nullopt, "one run"},
        {{50, 50, 50}, {55, 55}, 10.0, std::nullopt, std::nullopt, "no spread"},
        {{}, {1, 2}, std::nullopt, std::nullopt, std::nullopt, nullptr},
        {{1, 2}, {}, std::nullopt, std::nullopt, std::nullopt, nullptr},
        {{0, 0}, {1, 2}, std::nullopt, std::nullopt, std::nullopt, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.base) + " against " + ::testing::PrintToString(c.now));
        const std::optional<cli::Difference> difference = CompareValues(c.base, c.now);
        ASSERT_EQ(difference.has_value(), c.percent.has_value());
        if (!difference) {
            continue;
        }
        EXPECT_NEAR(difference->percent, *c.percent, 1e-8);
        EXPECT_EQ(difference->low.has_value(), c.low.has_value());
        EXPECT_NEAR(difference->low.value_or(0), c.low.value_or(0), 1e-6);
        EXPECT_NEAR(difference->high.value_or(0), c.high.value_or(0), 1e-6);
        EXPECT_STREQ(difference->noInterval, c.noInterval);
        EXPECT_EQ(difference->base.count, c.base.size());
    }
}

cli::ConfigurationValues Configuration(const char* resolution, std::vector<std::vector<double>> scenes,
                                       std::vector<double> scores = {}) {
    cli::ConfigurationValues values;
    values.resolution = resolution;
    for (std::size_t scene = 0; scene < scenes.size(); ++scene) {
        if (!scenes[scene].empty()) {
            values.sceneFps[static_cast<int>(scene)] = scenes[scene];
        }
    }
    values.scores = std::move(scores);
    return values;
}

TEST(CompareTest, VerdictPerConfigurationAndTheExitStatus) {
    const std::vector<double> same = {100, 101, 99}, faster = {110, 111, 109}, slower = {90, 91, 89};
    const std::vector<double> score = {3700, 3710, 3690}, lowerScore = {3600, 3610, 3590};
    const struct {
        const char* name;
        cli::ConfigurationValues base, now;
        Verdict verdict;
        int exitBelow5, exitBelow1;
    } cases[] = {
        {"SameScenes", Configuration("640x480", {same, same}), Configuration("640x480", {same, same}),
         Verdict::NoDifference, 0, 0},
        {"OneSceneFaster", Configuration("640x480", {same, same}), Configuration("640x480", {faster, same}),
         Verdict::Faster, 0, 0},
        {"OneSceneSlower", Configuration("640x480", {same, same}), Configuration("640x480", {same, slower}),
         Verdict::Slower, 4, 4},
        {"FasterAndSlower", Configuration("640x480", {same, same}),
         Configuration("640x480", {faster, slower}), Verdict::NoDifference, 4, 4},
        {"SlowerWithoutInterval", Configuration("640x480", {same}), Configuration("640x480", {{80}}),
         Verdict::NoDifference, 0, 0},
        // The score decides, whatever the scenes say; it is 2.7 % lower.
        {"ScoreLower", Configuration("640x480", {same}, score),
         Configuration("640x480", {slower}, lowerScore), Verdict::Slower, 0, 4},
        {"ScoreSame", Configuration("640x480", {same}, score), Configuration("640x480", {slower}, score),
         Verdict::NoDifference, 0, 0},
        {"ScoreOfOneSet", Configuration("640x480", {same}, {3700}),
         Configuration("640x480", {slower}, {3000}), Verdict::NoDifference, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const cli::Comparison comparison = cli::CompareReports({{c.base}}, {{c.now}});
        ASSERT_EQ(comparison.configurations.size(), 1u);
        EXPECT_EQ(comparison.configurations[0].verdict, c.verdict);
        EXPECT_EQ(cli::CompareExitStatus(comparison, 5.0), c.exitBelow5);
        EXPECT_EQ(cli::CompareExitStatus(comparison, 1.0), c.exitBelow1);
        EXPECT_EQ(cli::CompareExitStatus(comparison, std::nullopt), 0);
    }
    // Lower by more than the percentage, with the whole interval below zero.
    const std::tuple<double, std::optional<double>, bool> edges[] = {
        {-5.0, -1.0, false}, {-5.0001, -1.0, true}, {-9.0, 0.0, false}, {-9.0, std::nullopt, false}};
    for (const auto& [percent, high, falls] : edges) {
        cli::Difference difference;
        difference.percent = percent;
        difference.low = high ? std::optional<double>(*high - 5) : std::nullopt;
        difference.high = high;
        EXPECT_EQ(cli::FallsBelow(difference, 5.0), falls) << percent << " " << high.value_or(99);
    }
    // Configurations are matched by renderer, detail and resolution; scenes only one side holds are left out.
    ReportValues base{{Configuration("640x480", {same, same}), Configuration("800x600", {same})}};
    ReportValues now{{Configuration("1024x768", {same}), Configuration("640x480", {{}, slower, same})}};
    now.configurations[1].renderer = bench::Renderer::Direct3D;
    const cli::Comparison comparison = cli::CompareReports(base, now);
    ASSERT_EQ(comparison.configurations.size(), 1u);
    EXPECT_EQ(comparison.configurations[0].scenes.size(), 1u);
    EXPECT_EQ(comparison.configurations[0].scenes[0].sceneIndex, 1);
    EXPECT_EQ(comparison.onlyInBase, std::vector<std::string>{"Direct3D 8.1, High, 800x600"});
    EXPECT_EQ(comparison.onlyInNew, std::vector<std::string>{"Direct3D 8.1, High, 1024x768"});
}

TEST(CompareTest, ReportsReadBackOrWhatIsWrongWithThem) {
    const std::string v1 = R"({"format": "korvane-cli report", "formatVersion": 1,
        "options": {"renderer": "opengl", "detail": "low", "resolution": "800x600"},
        "runs": [{"scene": 0, "status": "ok", "fps": 41.5}, {"scene": 0, "status": "timed-out", "fps": null},
                 {"scene": 3, "status": "no-number", "fps": 0}, {"scene": 0, "status": "ok", "fps": 40}],
        "score": {"sets": [{"korvanes": 3700.5}]}})";
    std::string problem;
    const std::optional<ReportValues> read = cli::ReadReportValues(v1, problem);
    ASSERT_TRUE(read) << problem;
    ASSERT_EQ(read->configurations.size(), 1u);
    const cli::ConfigurationValues& values = read->configurations[0];
    EXPECT_EQ(values.renderer, bench::Renderer::OpenGL);
    EXPECT_EQ(values.detail, bench::Detail::Low);
    EXPECT_EQ(values.resolution, "800x600");
    EXPECT_EQ(values.sceneFps.size(), 1u) << "only runs that gave a frame rate";
    EXPECT_EQ(values.sceneFps.at(0), (std::vector<double>{41.5, 40}));
    EXPECT_EQ(values.scores, std::vector<double>{3700.5});

    for (const std::vector<std::string>& row : sourcetree::ReadTable("bad-reports.txt")) {
        std::string why;
        EXPECT_FALSE(cli::ReadReportValues(row[0], why)) << row[0];
        EXPECT_EQ(why, row.at(1)) << row[0];
    }
}

// The comparison as text, JSON and page: the files tests/data/reports/compare holds.
TEST(CompareTest, TextJsonAndPageAsTheirExpectedFiles) {
    const ReportValues base{
        {Configuration("640x480", {{10, 12}, {}, {}, {50}}, {3700, 3710}), Configuration("800x600", {{9}})}};
    const ReportValues now{{Configuration("640x480", {{20, 22}, {}, {}, {55}}, {3600, 3610})}};
    const cli::Comparison comparison = cli::CompareReports(base, now);
    sourcetree::ExpectFile("reports/compare/comparison.txt",
                           cli::CompareText(comparison, "a.json", "b.json"));
    sourcetree::ExpectFile("reports/compare/comparison.json",
                           cli::CompareJson(comparison, "a.json", "b.json", 2.5));
    sourcetree::ExpectFile("reports/compare/no-fail-below.json",
                           cli::CompareJson(comparison, "a.json", "b.json", std::nullopt));
    const std::string page = cli::CompareHtml(comparison, "a.json", "b&c.json");
    sourcetree::ExpectFile("reports/compare/comparison.html", page);
    EXPECT_EQ(page.find("<script"), std::string::npos);
}

// A report of Flyby 1 at `resolution`, as korvane-cli writes it.
std::string ReportOf(const char* resolution, const std::vector<double>& fps) {
    RunReport report = MakeReport({0}, 3);
    report.options.resolutionText = resolution;
    for (const double value : fps) {
        AddRun(report, 0, static_cast<int>(report.runs.size()) + 1, RunStatus::Ok, value);
    }
    return cli::ReportJson({report});
}

TEST(CompareTest, TheCommandReadsBothFilesWritesItsOwnAndEndsWithItsStatus) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvane-compare-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto file = [&folder](const char* name, const std::string& text) {
        std::ofstream((folder / name).string(), std::ios::binary) << text;
        return (folder / name).string();
    };
    const std::string base = file("base.json", ReportOf("640x480", {100, 101, 99}));
    const std::string slower = file("slower.json", ReportOf("640x480", {90, 91, 89}));
    const std::string other = file("other.json", ReportOf("800x600", {90, 91, 89}));
    const std::string broken = file("broken.json", "{\"format\": ");
    const std::string missing = (folder / "missing.json").string();
    const std::string json = (folder / "c.json").string(), html = (folder / "c.html").string();
    const std::string noFolder = (folder / "no" / "c.json").string();
    const std::string cannot =
        "korvane-cli: \"" + missing + "\" cannot be compared: no such file, or it cannot be read\n";
    const struct {
        std::string base, now, json, html;
        std::optional<double> failBelow;
        int status;
        std::string errors;
    } cases[] = {
        {base, slower, json, html, std::nullopt, 0, ""},
        {base, slower, "", "", 5.0, 4, ""},
        {base, slower, "", "", 15.0, 0, ""},
        {missing, missing, "", "", std::nullopt, 2, cannot + cannot},
        {base, broken, "", "", std::nullopt, 2,
         "korvane-cli: \"" + broken + "\" cannot be compared: it is not JSON\n"},
        {base, other, "", "", std::nullopt, 2,
         "korvane-cli: \"" + base + "\" and \"" + other + "\" hold no configuration in common\n"},
        {base, slower, noFolder, "", std::nullopt, 2,
         "korvane-cli: --json cannot write \"" + noFolder + "\"\n"},
        {base, slower, "", noFolder, std::nullopt, 2,
         "korvane-cli: --html cannot write \"" + noFolder + "\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base + " " + c.now + " " + c.json + " " + c.html);
        std::filesystem::remove(json);
        std::filesystem::remove(html);
        std::ostringstream out, errors;
        // The files name the reports as the system's conversion makes them UTF-8.
        const auto marked = [](const std::string& text) {
            return "(" + text + ")";
        };
        EXPECT_EQ(cli::RunCompare({c.base, c.now, c.json, c.html, c.failBelow}, out, errors, marked),
                  c.status);
        EXPECT_EQ(errors.str(), c.errors);
        EXPECT_EQ(out.str().find("korvane-cli compare\nBase: " + c.base + "\n"),
                  c.errors.find("cannot be compared") == std::string::npos ? 0 : std::string::npos);
        const std::string written = sourcetree::ReadBytes(json).value_or("");
        const std::string page = sourcetree::ReadBytes(html).value_or("");
        EXPECT_EQ(Count(written, "\"base\": \"("), c.json == json ? 1 : 0) << "the JSON file";
        EXPECT_EQ(Count(page, "<tr><th>Base</th><td>("), c.html == html ? 1 : 0) << "the page";
    }
    std::filesystem::remove_all(folder);
}

} // namespace
