// The statistics and decisions drawn from a call's report.
#include "cli/report/CallReport.h"

#include <algorithm>

#include "cli/report/ExitStatus.h"

namespace cli {

namespace {

// The runs of the scene before round `beforeRound` (all of them when it is 0).
int RunsOf(const ConfigurationReport& report, int sceneIndex, int beforeRound = 0) {
    int runs = 0;
    for (const SceneAttempt& run : report.runs) {
        if (run.sceneIndex == sceneIndex && (beforeRound == 0 || run.round < beforeRound)) {
            ++runs;
        }
    }
    return runs;
}

// The frame rates of the scene's Recorded runs before round `beforeRound`.
std::vector<double> ResultValuesBefore(const ConfigurationReport& report, int sceneIndex, int beforeRound) {
    std::vector<double> values;
    for (const SceneAttempt& run : report.runs) {
        if (run.sceneIndex == sceneIndex && run.round < beforeRound &&
            run.status == bench::SceneStatus::Recorded) {
            values.push_back(run.reading.fps);
        }
    }
    return values;
}

// True when the scene ran to its end in the round: a run that Ctrl-C stopped did not.
bool RanInRound(const ConfigurationReport& report, int round, int sceneIndex) {
    for (const SceneAttempt& run : report.runs) {
        if (run.round == round && run.sceneIndex == sceneIndex && run.status != bench::SceneStatus::Stopped) {
            return true;
        }
    }
    return false;
}

bool RoundComplete(const ConfigurationReport& report, int round) {
    int results = 0;
    for (const SceneAttempt& run : report.runs) {
        if (run.round == round && run.status == bench::SceneStatus::Recorded) {
            ++results;
        }
    }
    return results == bench::kSceneCount;
}

struct StatusNames {
    bench::SceneStatus status;
    const char* name;
    const char* words;
};

constexpr StatusNames kStatusNames[] = {
    {bench::SceneStatus::Recorded, "ok", ""},
    {bench::SceneStatus::NoNumber, "no-number", "no number in the log's last line"},
    {bench::SceneStatus::GameNotStarted, "game-not-started", "the game did not start"},
    {bench::SceneStatus::NoNewResult, "no-new-result", "no new result"},
    {bench::SceneStatus::LogUnreadable, "log-unreadable", "the log could not be read"},
    {bench::SceneStatus::TimedOut, "timed-out", "timed out"},
    {bench::SceneStatus::Stopped, "stopped", "stopped"},
};

const StatusNames& NamesOf(bench::SceneStatus status) {
    for (const StatusNames& names : kStatusNames) {
        if (names.status == status) {
            return names;
        }
    }
    return kStatusNames[0];
}

} // namespace

const char* StatusName(bench::SceneStatus status) {
    return NamesOf(status).name;
}

const char* StatusWords(bench::SceneStatus status) {
    return NamesOf(status).words;
}

const bench::SceneRow& SceneOf(int sceneIndex) {
    return bench::SceneTable()[static_cast<std::size_t>(sceneIndex)];
}

bool LogWasRead(const SceneAttempt& run) {
    return bench::ValueRecorded(run.status);
}

bool Stopped(const CallReport& call) {
    for (const ConfigurationReport& report : call.configurations) {
        if (report.stopped) {
            return true;
        }
    }
    return false;
}

std::vector<double> ResultValues(const ConfigurationReport& report, int sceneIndex) {
    std::vector<double> values;
    for (const SceneAttempt& run : report.runs) {
        if (run.sceneIndex == sceneIndex && run.status == bench::SceneStatus::Recorded) {
            values.push_back(run.reading.fps);
        }
    }
    return values;
}

std::vector<int> ScenesOfRound(const RunPlan& plan, const ConfigurationReport& report, int round) {
    std::vector<int> scenes;
    for (const CommandLineRecord& line : report.commandLines) {
        if (round <= plan.runs ||
            WantsAnotherRun(SpreadOf(ResultValuesBefore(report, line.sceneIndex, round)),
                            RunsOf(report, line.sceneIndex, round), plan.runs, plan.maxVariationPercent)) {
            scenes.push_back(line.sceneIndex);
        }
    }
    return scenes;
}

std::optional<SceneRunPlace> NextSceneRun(const RunPlan& plan, const ConfigurationReport& report) {
    for (int round = report.runs.empty() ? 1 : report.runs.back().round;; ++round) {
        const std::vector<int> scenes = ScenesOfRound(plan, report, round);
        if (scenes.empty()) {
            return std::nullopt;
        }
        for (const int scene : scenes) {
            if (!RanInRound(report, round, scene)) {
                return SceneRunPlace{round, scene};
            }
        }
    }
}

Progress ProgressOf(const CallReport& call) {
    Progress progress;
    const std::vector<Configuration> planned = Configurations(call.plan);
    const int chosen = static_cast<int>(ChosenScenes(call.plan).size());
    for (std::size_t i = 0; i < planned.size(); ++i) {
        if (i >= call.configurations.size()) {
            progress.planned += chosen * call.plan.runs;
            continue;
        }
        const ConfigurationReport& report = call.configurations[i];
        int ran = 0;
        for (const SceneAttempt& run : report.runs) {
            ran += run.status != bench::SceneStatus::Stopped ? 1 : 0;
        }
        progress.done += ran;
        progress.planned += ran;
        if (const std::optional<SceneRunPlace> next = NextSceneRun(call.plan, report)) {
            for (const int scene : ScenesOfRound(call.plan, report, next->round)) {
                progress.planned += RanInRound(report, next->round, scene) ? 0 : 1;
            }
            progress.planned +=
                std::max(0, call.plan.runs - next->round) * static_cast<int>(report.commandLines.size());
        }
    }
    return progress;
}

std::vector<SceneSummary> SummarizeScenes(const RunPlan& plan, const ConfigurationReport& report) {
    std::vector<SceneSummary> summaries;
    for (const CommandLineRecord& line : report.commandLines) {
        SceneSummary summary;
        summary.sceneIndex = line.sceneIndex;
        summary.runs = RunsOf(report, line.sceneIndex);
        const std::vector<double> values = ResultValues(report, line.sceneIndex);
        summary.results = static_cast<int>(values.size());
        summary.fps = SpreadOf(values);
        summary.extraRuns = summary.runs > plan.runs;
        summary.stillVaries = summary.fps.variationPercent.has_value() &&
                              *summary.fps.variationPercent >= plan.maxVariationPercent;
        if (!SceneOf(line.sceneIndex).isFlyby) {
            std::vector<std::uint32_t> seeds;
            for (const SceneAttempt& run : report.runs) {
                if (run.sceneIndex == line.sceneIndex && run.status == bench::SceneStatus::Recorded &&
                    run.reading.engine) {
                    seeds.push_back(run.reading.engine->randSeed);
                }
            }
            summary.seedsDiffer = SeedsDiffer(seeds);
        }
        summaries.push_back(summary);
    }
    return summaries;
}

ScoreSummary SummarizeScore(const ConfigurationReport& report) {
    ScoreSummary summary;
    std::vector<double> scores;
    std::vector<double> flyby;
    std::vector<double> botmatch;
    for (std::size_t index = 0; index < report.sets.size(); ++index) {
        const int round = static_cast<int>(index) + 1;
        const bench::SceneResults& set = report.sets[index];
        if (!set.AllScenesRun() || !RoundComplete(report, round)) {
            continue;
        }
        const SetScore score{round, bench::RunScore(set), bench::FlybyAverage(set),
                             bench::BotmatchAverage(set)};
        summary.sets.push_back(score);
        scores.push_back(score.score);
        flyby.push_back(score.flybyAverage);
        botmatch.push_back(score.botmatchAverage);
    }
    summary.score = SpreadOf(scores);
    summary.flybyAverage = SpreadOf(flyby);
    summary.botmatchAverage = SpreadOf(botmatch);
    return summary;
}

int ExitStatus(const ConfigurationReport& report) {
    if (report.stopped || report.runs.empty()) {
        return kExitSomeFailed;
    }
    for (const SceneAttempt& run : report.runs) {
        if (run.status != bench::SceneStatus::Recorded) {
            return kExitSomeFailed;
        }
    }
    return kExitAllResults;
}

int ExitStatus(const CallReport& call) {
    if (call.outputFailed) {
        return kExitBadArgument;
    }
    for (const ConfigurationReport& report : call.configurations) {
        if (ExitStatus(report) != kExitAllResults) {
            return kExitSomeFailed;
        }
    }
    return call.configurations.empty() ? kExitSomeFailed : kExitAllResults;
}

} // namespace cli
