// The statistics and decisions drawn from a call's report.
#include "cli/report/CallReport.h"

#include "cli/report/ExitStatus.h"

namespace cli {

namespace {

int RunsOf(const ConfigurationReport& report, int sceneIndex) {
    int runs = 0;
    for (const SceneAttempt& run : report.runs) {
        if (run.sceneIndex == sceneIndex) {
            ++runs;
        }
    }
    return runs;
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
    if (report.stopped || report.commandLines.empty()) {
        return {};
    }
    std::vector<int> scenes;
    for (const CommandLineRecord& line : report.commandLines) {
        if (round <= plan.runs ||
            WantsAnotherRun(SpreadOf(ResultValues(report, line.sceneIndex)), RunsOf(report, line.sceneIndex),
                            plan.runs, plan.maxVariationPercent)) {
            scenes.push_back(line.sceneIndex);
        }
    }
    return scenes;
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
    for (const ConfigurationReport& report : call.configurations) {
        if (ExitStatus(report) != kExitAllResults) {
            return kExitSomeFailed;
        }
    }
    return call.configurations.empty() ? kExitSomeFailed : kExitAllResults;
}

} // namespace cli
