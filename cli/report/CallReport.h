// Everything one korvane-cli call measured, and what follows from it: per
// configuration the statistics of each scene, the score of each complete set of
// six scenes, which scenes the next round runs, and the exit status.
// Platform-free; the console run fills the report as the games end.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bench/SceneOutcome.h"
#include "bench/SceneScore.h"
#include "cli/report/EngineLine.h"
#include "cli/report/Plan.h"
#include "cli/report/RunStatistics.h"
#include "sysinfo/MachineFacts.h"

namespace cli {

// The report's word for a status ("ok", "no-number", "game-not-started",
// "no-new-result", "log-unreadable", "timed-out", "stopped") and the console's
// ("" for a result, "no number in the log's last line", ...).
const char* StatusName(bench::SceneStatus status);
const char* StatusWords(bench::SceneStatus status);

// The row of the scene with this index.
const bench::SceneRow& SceneOf(int sceneIndex);

// One attempt at one scene: one game run, with its place among the rounds and
// among the scene's own runs.
struct SceneAttempt {
    int sceneIndex = 0;
    int round = 0;   // 1-based: the set of scenes it belongs to
    int attempt = 0; // 1-based: this scene's how-many-th run
    bench::SceneStatus status = bench::SceneStatus::Recorded;
    double seconds = 0.0;    // from the game's start to the value or the failure
    std::string message;     // the reason, unless Recorded
    std::string lastLine;    // when the log was read
    LastLineReading reading; // when the log was read
};

// True when the run got as far as reading the log's last line (Recorded, NoNumber).
bool LogWasRead(const SceneAttempt& run);

struct CommandLineRecord {
    int sceneIndex = 0;
    std::string commandLine;
};

// The runs of one configuration.
struct ConfigurationReport {
    Configuration configuration;
    std::string composeMessage; // why no scene could run, when the lines could not be composed
    std::vector<CommandLineRecord> commandLines;
    std::vector<SceneAttempt> runs;
    // The window's arithmetic of each round (index round - 1), fed by every run
    // that read the log, exactly as one press of the window.
    std::vector<bench::SceneResults> sets;
    bool stopped = false; // Ctrl-C ended the runs early
};

// Where the game is, as the call found it.
struct GamePaths {
    std::string folder;
    std::string executable;
    std::string workingDirectory; // the game's: its system folder
    std::string logPath;
};

// The files a call writes besides its JSON report, as full paths; empty: none.
struct OutputPaths {
    std::string json;
    std::string csv;
    std::string html;
};

// One call: the machine and the game once, then each configuration begun, in the order they ran.
struct CallReport {
    std::string korvaneVersion;
    std::string startedAt; // local date and time, ISO 8601: "2026-12-08T15:02:25+01:00"
    bool complete = false; // the call ran to its end; until then its files say it is not complete
    sysinfo::MachineTexts machine;
    std::optional<sysinfo::AdapterIdentity> adapter; // none when Direct3D 8 did not answer
    GamePaths game;
    RunPlan plan;
    OutputPaths files;
    std::vector<ConfigurationReport> configurations;
    // A file the call was asked for does not hold its results: its last write failed.
    bool outputFailed = false;
};

// True when Ctrl-C ended the call early.
bool Stopped(const CallReport& call);

// The frame rates of the scene's Recorded runs, in the order they ran.
std::vector<double> ResultValues(const ConfigurationReport& report, int sceneIndex);

// The scenes that round `round` (1-based) runs, in scene order: every chosen
// scene in rounds 1 to N; after that each scene whose values, in the rounds
// before this one, vary by the plan's limit or more and that had fewer than 2N
// runs in them. Empty when the configuration's runs are over.
std::vector<int> ScenesOfRound(const RunPlan& plan, const ConfigurationReport& report, int round);

// Where a scene run stands: its round and its scene.
struct SceneRunPlace {
    int round = 0;
    int sceneIndex = 0;
};

// The scene run that follows the configuration's runs so far, extra runs
// included: the next scene of the last run's round, or the first of the next
// round; none when the configuration's runs are over. A run that Ctrl-C
// stopped is one to run again. (Whether the call was stopped is the caller's to
// know.)
std::optional<SceneRunPlace> NextSceneRun(const RunPlan& plan, const ConfigurationReport& report);

// How far a call is: the scene runs that have ended (one that Ctrl-C stopped
// has not), and all it runs as far as is known now: each chosen scene N times
// in every configuration, and the extra runs asked for by the rounds begun.
struct Progress {
    int done = 0;
    int planned = 0;
};
Progress ProgressOf(const CallReport& call);

struct SceneSummary {
    int sceneIndex = 0;
    int runs = 0;                    // every run, failed ones included
    int results = 0;                 // Recorded runs
    Spread fps;                      // over the Recorded runs' values
    bool extraRuns = false;          // more than N runs for its spread
    bool stillVaries = false;        // varies by the limit or more after its last run
    std::optional<bool> seedsDiffer; // bot matches only: rand[] seeds not all equal
};

std::vector<SceneSummary> SummarizeScenes(const RunPlan& plan, const ConfigurationReport& report);

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

ScoreSummary SummarizeScore(const ConfigurationReport& report);

// kExitAllResults when there were runs, none was stopped and every one was
// Recorded; kExitSomeFailed otherwise.
int ExitStatus(const ConfigurationReport& report);

// kExitBadArgument when a file it was asked for does not hold its results;
// else kExitAllResults when every configuration has it, and there is one.
int ExitStatus(const CallReport& call);

} // namespace cli
