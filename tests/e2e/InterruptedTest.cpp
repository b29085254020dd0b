// korvane-cli killed at any moment loses nothing that had ended: a sweep is
// ended with TerminateProcess, as a crash or a power cut ends it, at more than
// twenty points (during a game, during the pause, right after a scene while the
// files are being written; a fixed list and a seeded random one), every named
// file is whole and valid after each kill, --resume goes on, and the finished
// report is the one an uninterrupted call writes. And a file that cannot be
// written is reported once while the run goes on.
#include <algorithm>
#include <random>
#include <regex>
#include <sstream>

#include "KorvaneFixture.h"
#include "cli/compare/ReportReader.h"

namespace e2e {
namespace {

// The copies of the reports found after the kills, which the schema check reads
// after this program (its folder outlives the test's own).
constexpr char kKilledReports[] = "C:\\korvane-e2e-kills";

class Interrupted : public KorvaneTest {};

// A CSV field: quoted as a spreadsheet reads it, or plain.
const std::string kCsvField = "(\"([^\"]|\"\")*\"|[^\",\r\n]*)";

// The lines of a CSV file that is whole: each of 17 fields and ended by CR LF; none
// when a line is not (a last line without its line end: cut short).
std::optional<std::vector<std::string>> CsvLines(const std::string& text) {
    static const std::regex line("(" + kCsvField + ",){16}" + kCsvField);
    static const std::regex seconds("^((" + kCsvField + ",){8})" + kCsvField);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end = 0; at < text.size(); at = end + 2) {
        end = text.find("\r\n", at);
        if (end == std::string::npos || !std::regex_match(text.substr(at, end - at), line)) {
            return std::nullopt;
        }
        // The ninth field, the seconds the run took, differs from call to call.
        lines.push_back(std::regex_replace(text.substr(at, end - at), seconds, "$1"));
    }
    return lines;
}

// A report with what differs between two calls taken out: the times, the
// durations, the clock measured at each start and the folder of its files.
std::string WithoutTimes(std::string json, const std::string& folder) {
    json = std::regex_replace(json, std::regex("\"seconds\": [0-9.e+-]+"), "\"seconds\": 0");
    json = std::regex_replace(json, std::regex("\"frequency\": \"[^\"]*\""), "\"frequency\": \"\"");
    json = std::regex_replace(json, std::regex("\"startedAt\": \"[^\"]*\""), "\"startedAt\": \"\"");
    for (std::size_t at = json.find(folder); at != std::string::npos; at = json.find(folder, at)) {
        json.replace(at, folder.size(), "FOLDER");
    }
    return json;
}

enum class Phase { Game, Writing, Pause };

struct KillPoint {
    Phase phase;
    int delayMs;
};

const char* const kPhaseNames[] = {"during a game", "right after a scene", "in the pause"};

TEST_F(Interrupted, KilledAtMoreThanTwentyPointsEveryFileStaysWholeAndResumeFinishesTheCall) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    // Every value the same whatever the start: the frame rates the stand-in takes
    // from the configuration and the scene, one seed; games of 0.6 s.
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[all]\r\nrand=7\r\nseconds=0.6\r\n"));
    ASSERT_TRUE(MakeFolders(Path("out")) && MakeFolders(Path("ref")));
    ASSERT_TRUE(DeleteTree(kKilledReports) && MakeFolders(kKilledReports));
    const std::string options = "--scenes flyby1,botmatch1 --resolution 640x480,800x600 --runs 3 ";
    const std::string files = "--json out\\r.json --csv out\\r.csv --html out\\r.html";

    // The call as it runs without a kill.
    const CliResult uninterrupted =
        RunCli(options + "--json ref\\r.json --csv ref\\r.csv --html ref\\r.html", 12);
    ASSERT_EQ(uninterrupted.exitStatus, std::optional<DWORD>(0)) << uninterrupted;
    const std::string reference = Read("ref\\r.json");

    std::vector<KillPoint> points = {{Phase::Game, 250},   {Phase::Pause, 800}, {Phase::Writing, 0},
                                     {Phase::Game, 100},   {Phase::Game, 400},  {Phase::Pause, 1500},
                                     {Phase::Writing, 10}, {Phase::Game, 300}};
    const unsigned seed = 20261208;
    std::mt19937 random(seed);
    for (int i = 0; i < 14; ++i) {
        const unsigned draw = random() % 10;
        const Phase phase = draw < 6 ? Phase::Game : draw < 8 ? Phase::Writing : Phase::Pause;
        const int delay = static_cast<int>(random() % (phase == Phase::Game    ? 500
                                                       : phase == Phase::Pause ? 2500
                                                                               : 40));
        points.push_back({phase, delay});
    }
    SCOPED_TRACE("random kill points from seed " + std::to_string(seed));

    // Not in a job of the driver's: korvane-cli's own job must end the game it leaves.
    ASSERT_NO_FATAL_FAILURE(StartCli(options + files));
    Process& cli = CliProgram();
    std::size_t starts = GameStarts().size();
    int known = 0; // scene runs the report held after the kills so far
    int kills = 0;
    for (const KillPoint& point : points) {
        SCOPED_TRACE("kill " + std::to_string(kills + 1) + ", " + kPhaseNames[static_cast<int>(point.phase)]);
        // Wait for the moment: a game of this call started; its game ended; its files written.
        bool ready = false;
        if (point.phase == Phase::Pause) {
            ready = WaitUntil(
                [&] {
                    std::string problem;
                    const auto report = cli::ReadReport(Read("out\\r.json"), problem);
                    return report && cli::ProgressOf(report->call).done > known;
                },
                20000, 20);
        } else {
            ready = WaitUntil([&] { return GameStarts().size() > starts || !cli.IsRunning(); }, 20000, 5);
            if (ready && point.phase == Phase::Writing) {
                ready =
                    WaitUntil([&] { return CountProcessesIn("UT2003.exe", Demo().folder) == 0; }, 20000, 1);
            }
        }
        if (!cli.IsRunning()) {
            break; // the call ended before this point
        }
        ASSERT_TRUE(ready);
        ::Sleep(static_cast<DWORD>(point.delayMs));
        ASSERT_TRUE(::TerminateProcess(cli.Handle(), 9));
        ASSERT_TRUE(cli.WaitForExit(5000));
        ++kills;
        // The game korvane-cli left is ended with the job it ran in.
        EXPECT_TRUE(WaitUntil([&] { return CountProcessesIn("UT2003.exe", Demo().folder) == 0; }, 5000))
            << "a game outlived korvane-cli";
        starts = GameStarts().size();

        // Each file whole and valid, holding every run it held before.
        const std::string json = Read("out\\r.json");
        std::string problem;
        const std::optional<cli::ReportFile> report = cli::ReadReport(json, problem);
        ASSERT_TRUE(report) << problem << "\n" << json;
        EXPECT_FALSE(report->call.complete);
        const int done = cli::ProgressOf(report->call).done;
        EXPECT_GE(done, known) << "the report lost runs";
        const auto lines = CsvLines(Read("out\\r.csv"));
        ASSERT_TRUE(lines) << "the CSV file is not whole";
        EXPECT_GE(static_cast<int>(lines->size()) - 1, done)
            << "the CSV file holds fewer runs than the report";
        const std::string page = Read("out\\r.html");
        EXPECT_EQ(page.size() >= 8 ? page.substr(page.size() - 8) : page, "</html>\n");
        if (point.phase == Phase::Pause) {
            EXPECT_GT(done, known) << "a run that had ended is missing";
        }
        known = done;
        WriteTextFile(JoinPath(kKilledReports, "after-kill-" + std::to_string(kills) + ".json"), json);

        ASSERT_NO_FATAL_FAILURE(StartCli("--resume out\\r.json"));
    }
    EXPECT_GE(kills, 20) << "too few kill points came before the call ended";
    std::printf("%d kills, then the call finished\n", kills);
    ASSERT_EQ(cli.WaitForExit(120000), std::optional<DWORD>(0)) << cli.Output() << cli.Errors();
    EXPECT_EQ(cli.Output().rfind("Resuming \"out\\r.json\": ", 0), 0u) << cli.Output();

    const std::string finished = Read("out\\r.json");
    EXPECT_EQ(WithoutTimes(finished, "\\\\out\\\\"), WithoutTimes(reference, "\\\\ref\\\\"));
    const auto lines = CsvLines(Read("out\\r.csv"));
    ASSERT_TRUE(lines) << "the CSV file is not whole";
    EXPECT_EQ(lines, CsvLines(Read("ref\\r.csv")));
}

// The CSV file's folder goes away during the run: the file is reported once,
// the other files are still written after every scene run, and the call ends
// with status 2, which its report says too.
TEST_F(Interrupted, AFileThatCannotBeWrittenIsReportedOnceAndTheRunGoesOn) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[start 1]\r\nseconds=2\r\n[all]\r\nfps=50\r\n"));
    const std::string csvFolder = Path("gone");
    ASSERT_TRUE(MakeFolders(csvFolder) && MakeFolders(Path("out")));
    ASSERT_NO_FATAL_FAILURE(
        StartCli("--scenes flyby1,flyby2,flyby3 --runs 1 --json out\\r.json --csv gone\\r.csv"));
    ASSERT_TRUE(WaitUntil([&] { return GameStarts().size() == 1; }, 20000));
    EXPECT_TRUE(DeleteTree(csvFolder)) << "the CSV file's folder cannot be removed";
    const CliResult result = FinishCli(60000);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(2)) << result;
    const std::string csv = JoinPath(csvFolder, "r.csv");
    const std::string reported = "korvane-cli: --csv could not write \"" + csv + "\": ";
    EXPECT_EQ(result.errors.rfind(reported, 0), 0u) << result;
    EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 3) << result;
    EXPECT_TRUE(Contains(result.errors, "korvane-cli: --csv \"" + csv + "\" does not hold the results: "))
        << result;
    ExpectTexts("unwritable csv", result);
}

} // namespace
} // namespace e2e
