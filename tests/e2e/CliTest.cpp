// korvane-cli under Wine with the stand-in game: repeated runs and their
// statistics, the 3.5 % rule adding runs, a hanging game ended by the time-out
// while the run goes on, Ctrl-C, the JSON report against its schema, the CSV
// rows, the command lines the window would compose, and every exit status.
//
// Every scene run ends with the window's pause of 3000 ms, so these runs are
// kept to few scenes and two runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "GameLines.h"
#include "KorvaneFixture.h"
#include "driver/DemoRegistry.h"
#include "driver/Files.h"
#include "driver/Handles.h"
#include "driver/Paths.h"
#include "driver/Process.h"
#include "driver/SystemText.h"
#include "driver/Timing.h"
#include "tests/support/JsonCheck.h"

namespace e2e {
namespace {

// The stand-in starts within a second or two under Wine, and every scene run
// is followed by the 3000 ms pause.
constexpr DWORD kCliBaseTimeoutMs = 30000;
constexpr DWORD kPerSceneRunMs = 10000;
constexpr ULONGLONG kPauseMs = 3000;

constexpr char kFatalText[] =
    "Fatal Error: cannot find the UT2003 demo registry key. Make sure that UT2003 demo "
    "is installed in your system. The application will now exit";

// A path handed over in the environment by CTest, as a Unix path.
std::string PathFromEnvironment(const char* name) {
    char value[4096] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value) {
        return {};
    }
    return WindowsPathFromUnix(value);
}

// `text` with every CR LF turned into LF.
std::string WithoutCarriageReturns(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            out += text[i];
        }
    }
    return out;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// The fields of each row of a CSV text (RFC 4180 quoting, CR LF rows).
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row.push_back(field);
            rows.push_back(row);
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.empty() || !row.empty()) {
        row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

// The files directly in `folder`, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    FindHandle find(::FindFirstFileA(JoinPath(folder, "*").c_str(), &found));
    if (!find) {
        return names;
    }
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (::FindNextFileA(find.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

struct CliResult {
    std::optional<DWORD> exitStatus; // none: it did not end in time
    std::string output;
    std::string errors;
    ULONGLONG elapsedMs = 0;
};

std::ostream& operator<<(std::ostream& out, const CliResult& result) {
    out << "exit "
        << (result.exitStatus ? std::to_string(*result.exitStatus) : std::string("(still running)"))
        << " after " << result.elapsedMs << " ms\n--- output:\n"
        << result.output << "--- errors:\n"
        << result.errors;
    return out;
}

class Cli : public KorvaneTest {
protected:
    void SetUp() override {
        KorvaneTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        cliPath_ = PathFromEnvironment("KORVANE_CLI");
        ASSERT_TRUE(FileExists(cliPath_)) << "KORVANE_CLI names no korvane-cli.exe: " << cliPath_;
        schemaPath_ = PathFromEnvironment("KORVANE_CLI_SCHEMA");
        ASSERT_TRUE(MakeFolders(KorvaneFolder()));
        if (!Programs().cpuDefinitions.empty()) {
            ASSERT_TRUE(CopyFileTo(Programs().cpuDefinitions, JoinPath(KorvaneFolder(), "cpudef.dat")));
        }
    }

    void TearDown() override {
        cli_.Kill();
        KorvaneTest::TearDown();
    }

    // Where the tests let korvane-cli write its files: not its working folder.
    std::string FilesFolder() const { return JoinPath(Root(), "out"); }

    void StartCli(const std::string& arguments, bool inJob = false) {
        std::string error;
        started_ = NowMs();
        cli_ = CliProcess::Start(cliPath_, arguments, KorvaneFolder(), inJob, &error);
        ASSERT_TRUE(static_cast<bool>(cli_)) << error;
    }

    CliResult Finish(DWORD timeoutMs) {
        CliResult result;
        result.exitStatus = cli_.WaitForExit(timeoutMs);
        result.elapsedMs = NowMs() - started_;
        cli_.Kill();
        // korvane-cli writes its output in text mode: CR LF line ends, as a console program does.
        result.output = WithoutCarriageReturns(cli_.Output());
        result.errors = WithoutCarriageReturns(cli_.Errors());
        return result;
    }

    CliResult RunCli(const std::string& arguments, int sceneRuns, bool inJob = false) {
        StartCli(arguments, inJob);
        if (HasFatalFailure()) {
            return {};
        }
        return Finish(kCliBaseTimeoutMs + static_cast<DWORD>(sceneRuns) * kPerSceneRunMs);
    }

    // The JSON file read and checked against docs/cli-json-schema.json.
    std::optional<jsoncheck::Value> ReadReport(const std::string& path) {
        const std::optional<std::string> text = ReadTextFile(path);
        EXPECT_TRUE(text.has_value()) << "no JSON report " << path;
        if (!text) {
            return std::nullopt;
        }
        std::string error;
        std::optional<jsoncheck::Value> report = jsoncheck::Parse(*text, &error);
        EXPECT_TRUE(report.has_value()) << "not JSON: " << error << "\n" << *text;
        const std::optional<std::string> schemaText = ReadTextFile(schemaPath_);
        EXPECT_TRUE(schemaText.has_value()) << "no schema at " << schemaPath_;
        const std::optional<jsoncheck::Value> schema =
            schemaText ? jsoncheck::Parse(*schemaText) : std::optional<jsoncheck::Value>();
        EXPECT_TRUE(schema.has_value()) << "the schema is not JSON";
        if (report && schema) {
            jsoncheck::SchemaChecker checker(*schema);
            EXPECT_EQ(checker.Check(*report), std::vector<std::string>()) << *text;
        }
        return report;
    }

    // No stand-in game of this test's installation runs any more.
    void ExpectNoGameLeft() {
        EXPECT_TRUE(WaitUntil([&] { return CountGamesIn(Demo().folder) == 0; }, 5000))
            << CountGamesIn(Demo().folder) << " stand-in games still run";
    }

    std::string cliPath_;
    std::string schemaPath_;
    CliProcess cli_;
    ULONGLONG started_ = 0;
};

// --- Help and version ------------------------------------------------------

TEST_F(Cli, HelpAndVersionNeedNoDemo) {
    ASSERT_TRUE(demo_key::Delete());
    for (const char* help : {"--help", "/?"}) {
        SCOPED_TRACE(help);
        const CliResult result = RunCli(help, 0);
        EXPECT_EQ(result.exitStatus, std::optional<DWORD>(0)) << result;
        EXPECT_EQ(result.output.rfind("Usage: korvane-cli [options]\n", 0), 0u) << result;
        for (const char* option :
             {"--renderer d3d|opengl", "--detail high|low", "--resolution WxH", "--scenes LIST", "--runs N",
              "--timeout SECONDS", "--json FILE", "--csv FILE", "--quiet", "--version", "plus 60: 291)"}) {
            EXPECT_TRUE(Contains(result.output, option)) << option;
        }
        EXPECT_EQ(result.errors, "");
    }
    const CliResult version = RunCli("--version", 0);
    EXPECT_EQ(version.exitStatus, std::optional<DWORD>(0)) << version;
    EXPECT_EQ(version.output, "korvane-cli 1.00 Alpha1\n");
}

// --- Exit status 2: bad arguments ------------------------------------------

struct BadArgumentCase {
    std::string name;
    std::string arguments;
    std::string message; // the first line of standard error
};

class CliBadArgument : public Cli, public ::testing::WithParamInterface<BadArgumentCase> {};

TEST_P(CliBadArgument, IsNamedAndEndsWithStatusTwo) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const CliResult result = RunCli(GetParam().arguments, 0);
    EXPECT_EQ(result.exitStatus, std::optional<DWORD>(2)) << result;
    EXPECT_EQ(result.errors.substr(0, result.errors.find('\n')), GetParam().message) << result;
    EXPECT_EQ(result.output, "");
    EXPECT_TRUE(GameStarts().empty()) << "a game was started";
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliBadArgument,
    ::testing::Values(
        BadArgumentCase{"ZeroRuns", "--runs 0",
                        "korvane-cli: --runs takes a whole number from 1 to 100, not \"0\""},
        BadArgumentCase{"UnknownOption", "--scene flyby1", "korvane-cli: unknown argument \"--scene\""},
        BadArgumentCase{"UnknownRenderer", "--renderer=glide",
                        "korvane-cli: --renderer takes d3d or opengl, not \"glide\""},
        BadArgumentCase{"TimeoutWithoutValue", "--timeout", "korvane-cli: --timeout needs a value"}),
    CaseName());

// The reason comes from the system; only the start of the message is fixed.
TEST_F(Cli, UnwritableCsvIsNamedBeforeAnyGameStarts) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const CliResult result = RunCli("--scenes flyby1 --csv " + JoinPath(Root(), "missing\\r.csv"), 0);
    EXPECT_EQ(result.exitStatus, std::optional<DWORD>(2)) << result;
    EXPECT_EQ(result.errors.rfind(
                  "korvane-cli: --csv cannot write \"" + JoinPath(Root(), "missing\\r.csv") + "\": ", 0),
              0u)
        << result;
    EXPECT_TRUE(GameStarts().empty());
}

// --- Exit status 1: no demo ------------------------------------------------

TEST_F(Cli, MissingDemoEndsWithStatusOneAndWritesNothing) {
    ASSERT_TRUE(demo_key::Delete());
    ASSERT_TRUE(MakeFolders(FilesFolder()));
    const std::string json = JoinPath(FilesFolder(), "r.json");
    const CliResult result = RunCli("--json " + json, 0);
    EXPECT_EQ(result.exitStatus, std::optional<DWORD>(1)) << result;
    EXPECT_EQ(result.errors, std::string(kFatalText) + "\n");
    EXPECT_EQ(result.output, "");
    EXPECT_FALSE(FileExists(json)) << "a file was written although nothing ran";
}

// --- Exit status 0: repeated runs, statistics, JSON and CSV ----------------

TEST_F(Cli, RepeatedRunsGiveTheStatisticsTheJsonAndTheCsv) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    // Starts 1 and 3 are the fly-by, 2 and 4 the bot match.
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[start 1]\r\nfps=100\r\nrand=11\r\n"
                                             "[start 2]\r\nfps=60\r\nrand=777\r\n"
                                             "[start 3]\r\nfps=102\r\nrand=12\r\n"
                                             "[start 4]\r\nfps=60.5\r\nrand=777\r\n"));
    ASSERT_TRUE(MakeFolders(FilesFolder()));
    const std::string json = JoinPath(FilesFolder(), "run.json");
    const std::string csv = JoinPath(FilesFolder(), "run.csv");
    const std::vector<std::string> korvaneFilesBefore = FilesIn(KorvaneFolder());

    const CliResult result = RunCli("--scenes flyby1,botmatch2 --runs 2 --json " + json + " --csv=" + csv, 4);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(0)) << result;
    EXPECT_EQ(result.errors, "");
    EXPECT_GE(result.elapsedMs, 4 * kPauseMs) << "four scene runs need four pauses of 3000 ms";

    // The games: the window's command lines, in the window's working folder. (Wine 8 gives
    // every new process the normal priority class whatever its creator asks for, so
    // the game's high priority cannot be seen here.)
    const std::vector<GameStart> starts = GameStarts();
    ASSERT_EQ(starts.size(), 4u);
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const int scene = i % 2 == 0 ? 0 : 4;
        EXPECT_EQ(starts[i].commandLine, ExpectedGameLine(Demo().folder, KorvaneFolder(), scene)) << i;
        EXPECT_TRUE(EqualsIgnoringCase(starts[i].currentDirectory, Demo().folder + "\\system"))
            << starts[i].currentDirectory;
    }

    // The console: the header, one progress line per run, the table.
    EXPECT_EQ(result.output.rfind("korvane-cli 1.00 Alpha1\nProcessor:   ", 0), 0u) << result;
    EXPECT_TRUE(Contains(
        result.output, "Options:     Direct3D 8.1, High, 1024x768; 2 scenes, 2 runs each; time-out 291 s per "
                       "scene run\n"));
    EXPECT_EQ(CountOf(result.output, "Flyby 1 - DM-Antalus     run "), 2) << result;
    EXPECT_EQ(CountOf(result.output, "Botmatch2 - DM-Asbestos  run "), 2) << result;
    EXPECT_TRUE(Contains(result.output, "run 2 of 2")) << result;
    EXPECT_TRUE(Contains(result.output, "   102.00 fps\n")) << result;
    EXPECT_TRUE(
        Contains(result.output, "Flyby 1 - DM-Antalus        2       2    101.00     1.41     1.40 %\n"))
        << result;
    EXPECT_TRUE(
        Contains(result.output, "Botmatch2 - DM-Asbestos     2       2     60.25     0.35     0.59 %\n"))
        << result;
    EXPECT_TRUE(Contains(result.output, "Score: N/A (the score needs all six scenes)\n")) << result;

    // The JSON report.
    const std::optional<jsoncheck::Value> report = ReadReport(json);
    ASSERT_TRUE(report.has_value());
    const jsoncheck::Value& j = *report;
    EXPECT_EQ(j["korvaneVersion"].text, "1.00 Alpha1");
    EXPECT_TRUE(Contains(result.output, "Frequency:   " + j["machine"]["frequency"].text + "\n"));
    EXPECT_TRUE(Contains(result.output, "OS Name:     " + j["machine"]["osName"].text + "\n"));
    EXPECT_EQ(j["options"]["runs"].number, 2);
    EXPECT_EQ(j["options"]["timeoutSeconds"].number, 291);
    EXPECT_EQ(j["game"]["folder"].text, Demo().folder);
    ASSERT_EQ(j["commandLines"].elements.size(), 2u);
    EXPECT_EQ(j["commandLines"].elements[0]["commandLine"].text,
              ExpectedGameLine(Demo().folder, KorvaneFolder(), 0));
    EXPECT_EQ(j["commandLines"].elements[1]["commandLine"].text,
              ExpectedGameLine(Demo().folder, KorvaneFolder(), 4));
    const std::vector<double> fps = {100, 60, 102, 60.5};
    const std::vector<double> seeds = {11, 777, 12, 777};
    ASSERT_EQ(j["runs"].elements.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const jsoncheck::Value& run = j["runs"].elements[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(run["scene"].number, i % 2 == 0 ? 0 : 4);
        EXPECT_EQ(run["round"].number, static_cast<double>(i / 2 + 1));
        EXPECT_EQ(run["attempt"].number, static_cast<double>(i / 2 + 1));
        EXPECT_EQ(run["status"].text, "ok");
        EXPECT_EQ(run["fps"].number, fps[i]);
        EXPECT_EQ(run["engineLine"]["avgFps"].number, fps[i]);
        EXPECT_EQ(run["engineLine"]["score"].number, fps[i]);
        EXPECT_LT(run["engineLine"]["minFps"].number, fps[i]);
        EXPECT_GT(run["engineLine"]["maxFps"].number, fps[i]);
        EXPECT_EQ(run["engineLine"]["rand"].number, seeds[i]);
        EXPECT_EQ(run["lastLine"].text, ReadLogLines(Demo())[i]);
    }
    // By hand: 100 and 102 give a mean of 101 and a sample deviation of sqrt(2).
    const jsoncheck::Value& flyby = j["scenes"].elements[0]["fps"];
    EXPECT_EQ(flyby["count"].number, 2);
    EXPECT_NEAR(flyby["mean"].number, 101.0, 1e-9);
    EXPECT_NEAR(flyby["standardDeviation"].number, std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(flyby["variationPercent"].number, std::sqrt(2.0) / 101.0 * 100.0, 1e-9);
    EXPECT_TRUE(j["scenes"].elements[0]["randSeedsDiffer"].IsNull()) << "fly-bys have no sequence";
    EXPECT_EQ(j["scenes"].elements[1]["randSeedsDiffer"].boolean, false);
    EXPECT_EQ(j["scenes"].elements[1]["randSeedsDiffer"].kind, jsoncheck::Value::Kind::Bool);
    EXPECT_NEAR(j["scenes"].elements[1]["fps"]["mean"].number, 60.25, 1e-9);
    EXPECT_FALSE(j["scenes"].elements[0]["extraRuns"].boolean);
    EXPECT_TRUE(j["score"]["sets"].elements.empty());
    EXPECT_EQ(j["stopped"].boolean, false);
    EXPECT_EQ(j["exitStatus"].number, 0);

    // The CSV rows.
    const std::optional<std::string> csvText = ReadTextFile(csv);
    ASSERT_TRUE(csvText.has_value());
    const std::vector<std::vector<std::string>> rows = CsvRows(*csvText);
    ASSERT_EQ(rows.size(), 5u) << *csvText;
    EXPECT_EQ(rows[0], (std::vector<std::string>{"round", "attempt", "scene", "name", "status", "seconds",
                                                 "fps", "min_fps", "avg_fps", "max_fps", "score", "rand",
                                                 "last_line", "message"}));
    const char* const fpsTexts[] = {"100", "60", "102", "60.5"};
    const char* const seedTexts[] = {"11", "777", "12", "777"};
    for (std::size_t i = 1; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(rows[i].size(), 14u);
        EXPECT_EQ(rows[i][0], std::to_string((i + 1) / 2));
        EXPECT_EQ(rows[i][2], i % 2 == 1 ? "0" : "4");
        EXPECT_EQ(rows[i][3], i % 2 == 1 ? "Flyby 1 - DM-Antalus" : "Botmatch2 - DM-Asbestos");
        EXPECT_EQ(rows[i][4], "ok");
        EXPECT_EQ(rows[i][6], fpsTexts[i - 1]);
        EXPECT_EQ(rows[i][8], fpsTexts[i - 1]);
        EXPECT_EQ(rows[i][11], seedTexts[i - 1]);
        EXPECT_EQ(rows[i][12], ReadLogLines(Demo())[i - 1]);
        EXPECT_EQ(rows[i][13], "");
    }

    // Files only where they were named.
    EXPECT_EQ(FilesIn(KorvaneFolder()), korvaneFilesBefore);
    EXPECT_EQ(FilesIn(FilesFolder()), (std::vector<std::string>{"run.csv", "run.json"}));
}

TEST_F(Cli, OptionsChooseTheWindowsLineAndQuietPrintsOnlyTheTable) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[all]\r\nfps=49.36\r\n"));
    const CliResult result =
        RunCli("--renderer opengl --detail low --resolution 800x600 --scenes 5 --runs 1 --quiet", 1);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(0)) << result;
    const std::vector<GameStart> starts = GameStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, ExpectedGameLine(Demo().folder, KorvaneFolder(), 5,
                                                      {Renderer::OpenGL, Detail::Low, "800x600"}));
    EXPECT_EQ(result.output, "Scene                    Runs Results  Mean fps  Std dev  Variation  Notes\n"
                             "Botmatch3 - CTF-Citadel     1       1     49.36        -          -\n"
                             "\n"
                             "Score: N/A (the score needs all six scenes)\n");
    EXPECT_EQ(FilesIn(KorvaneFolder()), std::vector<std::string>{"cpudef.dat"}) << "no file unless named";
}

TEST_F(Cli, RoundingEdgesGiveTheWindowsTexts) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), RoundingEdgeSettings()));
    const CliResult result = RunCli("--runs 1 --quiet", kSceneCount);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(0)) << result;
    const std::string fps = std::string(kRoundingEdgeFlyby).substr(0, 5);
    const std::string botmatch = std::string(kRoundingEdgeBotmatch).substr(0, 5);
    EXPECT_NE(result.output.find("Run 1: " + std::string(kRoundingEdgeScore) + "Korvanes, Flyby scenes " +
                                 fps + " fps, Botmatch scenes " + botmatch + " fps\n"),
              std::string::npos)
        << result.output;
}

// --- The 3.5 % rule --------------------------------------------------------

TEST_F(Cli, ASceneThatVariesIsRunAgainUpToTwiceTheRuns) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    // Flyby 2 gives 100 and 110 (6.73 %), then 105 (4.76 %), then 105 (3.89 %), and
    // stops at 2 x 2 runs; the bot match stays at 50 but with a new seed each time.
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[start 1]\r\nfps=100\r\n"
                                             "[start 2]\r\nfps=50\r\nrand=5\r\n"
                                             "[start 3]\r\nfps=110\r\n"
                                             "[start 4]\r\nfps=50\r\nrand=6\r\n"
                                             "[start 5]\r\nfps=105\r\n"
                                             "[start 6]\r\nfps=105\r\n"
                                             "[start 7]\r\nfps=1\r\n"));
    ASSERT_TRUE(MakeFolders(FilesFolder()));
    const std::string json = JoinPath(FilesFolder(), "r.json");
    const CliResult result = RunCli("--scenes flyby2,botmatch1 --runs 2 --json " + json, 6);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(0)) << result;

    const std::vector<GameStart> starts = GameStarts();
    ASSERT_EQ(starts.size(), 6u) << "four fly-bys and two bot matches";
    const int scenes[] = {1, 3, 1, 3, 1, 1};
    for (std::size_t i = 0; i < starts.size(); ++i) {
        EXPECT_EQ(starts[i].commandLine, ExpectedGameLine(Demo().folder, KorvaneFolder(), scenes[i])) << i;
    }
    EXPECT_TRUE(
        Contains(result.output, "Flyby 2 - DM-Asbestos varies by 6.73 % over 2 results: one more run\n"))
        << result;
    EXPECT_TRUE(
        Contains(result.output, "Flyby 2 - DM-Asbestos varies by 4.76 % over 3 results: one more run\n"))
        << result;
    EXPECT_TRUE(Contains(result.output, "Flyby 2 - DM-Asbestos    run 4 of up to 4")) << result;
    EXPECT_TRUE(Contains(result.output,
                         "Flyby 2 - DM-Asbestos       4       4    105.00     4.08     3.89 %  run "
                         "again for its spread; varies by 3.5 % or more\n"))
        << result;
    EXPECT_TRUE(Contains(result.output,
                         "Botmatch1 - DM-Antalus      2       2     50.00     0.00     0.00 %  rand[] "
                         "seeds differ: not the same sequence\n"))
        << result;

    const std::optional<jsoncheck::Value> report = ReadReport(json);
    ASSERT_TRUE(report.has_value());
    const jsoncheck::Value& flyby = (*report)["scenes"].elements[0];
    EXPECT_EQ(flyby["runs"].number, 4);
    EXPECT_TRUE(flyby["extraRuns"].boolean);
    EXPECT_TRUE(flyby["stillVaries"].boolean);
    // By hand: 100, 110, 105, 105 lie -5, 5, 0, 0 from 105; the variance is 50 / 3.
    EXPECT_NEAR(flyby["fps"]["standardDeviation"].number, std::sqrt(50.0 / 3.0), 1e-9);
    const jsoncheck::Value& botmatch = (*report)["scenes"].elements[1];
    EXPECT_EQ(botmatch["runs"].number, 2);
    EXPECT_FALSE(botmatch["extraRuns"].boolean);
    EXPECT_TRUE(botmatch["randSeedsDiffer"].boolean);
    const std::vector<jsoncheck::Value>& runs = (*report)["runs"].elements;
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[4]["round"].number, 3);
    EXPECT_EQ(runs[4]["attempt"].number, 3);
    EXPECT_EQ(runs[5]["round"].number, 4);
    EXPECT_EQ(runs[5]["fps"].number, 105);
}

// --- Time-out --------------------------------------------------------------

class CliTimeout : public Cli, public ::testing::WithParamInterface<bool> {};

// Also when korvane-cli itself runs inside a job, as under some launchers; then
// Windows before 8 cannot put the game into a job of its own, and the time-out
// ends the game's own process instead.
TEST_P(CliTimeout, EndsAHangingGameAndTheRunGoesOn) {
    const bool cliInJob = GetParam();
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[start 1]\r\nfault=hang\r\n[all]\r\nfps=77.5\r\n"));
    ASSERT_TRUE(MakeFolders(FilesFolder()));
    const std::string json = JoinPath(FilesFolder(), "r.json");
    const std::string csv = JoinPath(FilesFolder(), "r.csv");
    const CliResult result =
        RunCli("--scenes flyby1,flyby2 --runs 1 --timeout 3 --json " + json + " --csv " + csv, 3, cliInJob);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(3)) << result;
    EXPECT_EQ(GameStarts().size(), 2u) << "the run went on with the next scene";
    ExpectNoGameLeft();
    if (!result.errors.empty()) {
        // Only the note that the game could not get a job of its own may appear.
        EXPECT_TRUE(cliInJob) << result;
        EXPECT_EQ(result.errors.rfind("korvane-cli: the game could not be put into a job of its own (", 0),
                  0u)
            << result;
        std::printf("korvane-cli inside a job: %s", result.errors.c_str());
    }
    EXPECT_TRUE(Contains(result.output,
                         "timed out\n    The game did not end in time for the scene \"Flyby 1 - "
                         "DM-Antalus\" and was ended:\n    it ran longer than the time-out of 3 s\n"))
        << result;
    EXPECT_TRUE(Contains(result.output, "1 run without a result")) << result;

    const std::optional<jsoncheck::Value> report = ReadReport(json);
    ASSERT_TRUE(report.has_value());
    const std::vector<jsoncheck::Value>& runs = (*report)["runs"].elements;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0]["status"].text, "timed-out");
    EXPECT_GE(runs[0]["seconds"].number, 3.0);
    EXPECT_LT(runs[0]["seconds"].number, 10.0);
    EXPECT_TRUE(runs[0]["fps"].IsNull());
    EXPECT_EQ(runs[1]["status"].text, "ok");
    EXPECT_EQ(runs[1]["fps"].number, 77.5);
    EXPECT_EQ((*report)["exitStatus"].number, 3);

    const std::optional<std::string> csvText = ReadTextFile(csv);
    ASSERT_TRUE(csvText.has_value());
    const std::vector<std::vector<std::string>> rows = CsvRows(*csvText);
    ASSERT_EQ(rows.size(), 3u) << *csvText;
    EXPECT_EQ(rows[1][4], "timed-out");
    EXPECT_EQ(rows[1][6], "");
    EXPECT_EQ(rows[1][13],
              "The game did not end in time for the scene \"Flyby 1 - DM-Antalus\" and was ended:\n"
              "it ran longer than the time-out of 3 s");
    EXPECT_EQ(rows[2][4], "ok");
    EXPECT_EQ(rows[2][6], "77.5");
}

INSTANTIATE_TEST_SUITE_P(Cli, CliTimeout, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& test) {
                             return std::string(test.param ? "KorvaneCliInAJob" : "KorvaneCliOnItsOwn");
                         });

// --- Ctrl-C ----------------------------------------------------------------

struct ControlCase {
    std::string name;
    DWORD controlEvent;
};

// Gives this program a console of its own, once, and keeps it: korvane-cli,
// started without a console of its own, shares it, and control events go
// through it. Under CTest this program has Wine's stand-in for the console of a
// program started from a Unix shell without a terminal, which takes no control
// events; it is given up for a real one. (Under Wine 8 a second console
// allocated after freeing the first takes no control events either.) Returns 0
// or the error of AllocConsole.
DWORD EnsureOwnConsole() {
    static const DWORD error = [] {
        ::FreeConsole();
        return ::AllocConsole() ? DWORD{0} : ::GetLastError();
    }();
    return error;
}

class CliControl : public Cli, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(CliControl, EndsTheGameStopsAndWritesWhatWasMeasured) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[start 1]\r\nfps=91.25\r\n[start 2]\r\nseconds=60\r\n"));
    ASSERT_TRUE(MakeFolders(FilesFolder()));
    const std::string json = JoinPath(FilesFolder(), "r.json");
    const DWORD consoleError = EnsureOwnConsole();
    ASSERT_EQ(consoleError, 0u) << "no console: " << ErrorText(consoleError);
    ASSERT_NO_FATAL_FAILURE(StartCli("--scenes flyby1,flyby2,flyby3 --runs 1 --json " + json));
    ASSERT_TRUE(WaitUntil([&] { return GameStarts().size() >= 2; }, kCliBaseTimeoutMs + kPerSceneRunMs))
        << "the second game never started";
    ::Sleep(500);
    ASSERT_TRUE(cli_.IsRunning());
    EXPECT_EQ(PriorityClassOf(cli_.Id()), std::optional<DWORD>(IDLE_PRIORITY_CLASS))
        << "korvane-cli waits at the window's idle priority";
    const DWORD sendError = cli_.SendControl(GetParam().controlEvent);
    // Wine 8 sends CTRL_C_EVENT to a process group but refuses CTRL_BREAK_EVENT with
    // ERROR_INVALID_HANDLE; Windows sends both.
    if (GetParam().controlEvent == CTRL_BREAK_EVENT && sendError == ERROR_INVALID_HANDLE) {
        GTEST_SKIP() << "this system does not send CTRL_BREAK_EVENT to a process group: "
                     << ErrorText(sendError);
    }
    ASSERT_EQ(sendError, 0u) << ErrorText(sendError);
    const CliResult result = Finish(15000);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(3)) << result;
    EXPECT_LT(result.elapsedMs, 40000u) << "the 60 s game was not waited for";
    EXPECT_EQ(GameStarts().size(), 2u) << "no scene started after Ctrl-C";
    ExpectNoGameLeft();
    EXPECT_TRUE(Contains(result.output, "Stopped by Ctrl-C: the runs above are all that was measured.\n"))
        << result;

    const std::optional<jsoncheck::Value> report = ReadReport(json);
    ASSERT_TRUE(report.has_value());
    EXPECT_TRUE((*report)["stopped"].boolean);
    const std::vector<jsoncheck::Value>& runs = (*report)["runs"].elements;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0]["status"].text, "ok");
    EXPECT_EQ(runs[0]["fps"].number, 91.25);
    EXPECT_EQ(runs[1]["status"].text, "stopped");
    EXPECT_EQ(runs[1]["message"].text, "The run was stopped; the game was ended during the scene \"Flyby 2 - "
                                       "DM-Asbestos\".");
    EXPECT_EQ((*report)["exitStatus"].number, 3);
}

INSTANTIATE_TEST_SUITE_P(Cli, CliControl,
                         ::testing::Values(ControlCase{"CtrlC", CTRL_C_EVENT},
                                           ControlCase{"CtrlBreak", CTRL_BREAK_EVENT}),
                         CaseName());

// --- Exit status 3 without a time-out ---------------------------------------

TEST_F(Cli, ALastLineWithoutANumberIsNoResult) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[all]\r\nfault=no-number\r\n"));
    const CliResult result = RunCli("--scenes flyby3 --runs 1", 1);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(3)) << result;
    EXPECT_TRUE(Contains(result.output,
                         "no number in the log's last line\n"
                         "    The log's last line holds no number where Korvane reads the frame "
                         "rate:\n    Benchmark ended without a frame rate\n"))
        << result;
}

} // namespace
} // namespace e2e
