// Everything one korvane-cli run measured, and what follows from it: the
// statistics per scene, the score per complete set of six scenes, which scenes
// the next round runs, and the exit status. Platform-free; the Windows side
// fills the report as the games end.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/EngineLine.h"
#include "cli/RunStatistics.h"
#include "bench/SceneScore.h"
#include "cli/CliArguments.h"
#include "sysinfo/MachineFacts.h"

namespace cli {

enum class RunStatus {
    Ok,             // the log's last line gave a number
    NoNumber,       // the last line held no number where the window reads it (counted as 0.0 there)
    GameNotStarted, // the game could not be started
    NoNewResult,    // the game left the log as it was
    LogUnreadable,  // the log could not be read
    TimedOut,       // the game ran past the time-out and was ended
    Stopped,        // Ctrl-C ended the game
};

// "ok", "no-number", "game-not-started", "no-new-result", "log-unreadable",
// "timed-out", "stopped".
const char* StatusName(RunStatus status);

// The row of the scene with this index.
const bench::SceneRow& SceneOf(int sceneIndex);

// One attempt at one scene: one game run, with its place among the rounds and
// among the scene's own runs.
struct SceneAttempt {
    int sceneIndex = 0;
    int round = 0;   // 1-based: the set of scenes it belongs to
    int attempt = 0; // 1-based: this scene's how-many-th run
    RunStatus status = RunStatus::Ok;
    double seconds = 0.0;    // from the game's start to the value or the failure
    std::string message;     // the reason, unless Ok
    std::string lastLine;    // when the log was read
    LastLineReading reading; // when the log was read
};

// True when the run got as far as reading the log's last line (Ok, NoNumber).
bool LogWasRead(const SceneAttempt& run);

// The machine-facts panel's six texts.
using MachineTexts = sysinfo::MachineTexts;

struct CommandLineRecord {
    int sceneIndex = 0;
    std::string commandLine;
};

struct RunReport {
    std::string korvaneVersion;
    MachineTexts machine;
    CliOptions options;
    std::string gameFolder;
    std::string gameExecutable;
    std::string workingDirectory; // the game's: its system folder
    std::string logPath;
    std::string composeMessage; // why no scene could run, when the lines could not be composed
    std::vector<CommandLineRecord> commandLines;
    std::vector<SceneAttempt> runs;
    // The window's arithmetic of each round (index round - 1), fed by every run
    // that read the log, exactly as one press of the window.
    std::vector<bench::SceneResults> sets;
    bool stopped = false; // Ctrl-C ended the run early
};

// The frame rates of the scene's Ok runs, in the order they ran.
std::vector<double> OkValues(const RunReport& report, int sceneIndex);

// The chosen scenes, in scene order.
std::vector<int> ChosenScenes(const CliOptions& options);

// The scenes that round `round` (1-based) runs, in scene order: every chosen
// scene in rounds 1 to N; after that each scene whose values still vary by 3.5 %
// or more and that has had fewer than 2N runs. Empty when the run is over.
std::vector<int> ScenesOfRound(const RunReport& report, int round);

struct SceneSummary {
    int sceneIndex = 0;
    int runs = 0;                    // every run, failed ones included
    int results = 0;                 // Ok runs
    Spread fps;                      // over the Ok runs' values
    bool extraRuns = false;          // more than N runs for its spread
    bool stillVaries = false;        // varies by 3.5 % or more after its last run
    std::optional<bool> seedsDiffer; // bot matches only: rand[] seeds not all equal
};

std::vector<SceneSummary> SummarizeScenes(const RunReport& report);

// One round whose six scenes all gave a number.
struct SetScore {
    int round = 0;
    double score = 0.0;
    double flybyAverage = 0.0;
    double botmatchAverage = 0.0;
};

struct ScoreSummary {
    std::vector<SetScore> sets; // complete sets only
    Spread score;
    Spread flybyAverage;
    Spread botmatchAverage;
};

ScoreSummary SummarizeScore(const RunReport& report);

// kExitAllResults when there were runs, none was stopped and every one was Ok;
// kExitSomeFailed otherwise.
int ExitStatus(const RunReport& report);

// Of a call's reports, one per configuration: kExitAllResults when every one has it.
int ExitStatus(const std::vector<RunReport>& reports);

} // namespace cli
