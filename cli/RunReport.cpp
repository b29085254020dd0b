// The statistics and decisions drawn from a run's report.
#include "cli/RunReport.h"

namespace cli {

namespace {

int RunsOf(const RunReport& report, int sceneIndex) {
    int runs = 0;
    for (const SceneAttempt& run : report.runs) {
        if (run.sceneIndex == sceneIndex) {
            ++runs;
        }
    }
    return runs;
}

bool RoundComplete(const RunReport& report, int round) {
    int results = 0;
    for (const SceneAttempt& run : report.runs) {
        if (run.round == round && run.status == RunStatus::Ok) {
            ++results;
        }
    }
    return results == bench::kSceneCount;
}

} // namespace

std::vector<double> OkValues(const RunReport& report, int sceneIndex) {
    std::vector<double> values;
    for (const SceneAttempt& run : report.runs) {
        if (run.sceneIndex == sceneIndex && run.status == RunStatus::Ok) {
            values.push_back(run.reading.fps);
        }
    }
    return values;
}

const bench::SceneRow& SceneOf(int sceneIndex) {
    return bench::SceneTable()[static_cast<std::size_t>(sceneIndex)];
}

bool LogWasRead(const SceneAttempt& run) {
    return run.status == RunStatus::Ok || run.status == RunStatus::NoNumber;
}

const char* StatusName(RunStatus status) {
    switch (status) {
    case RunStatus::Ok:
        return "ok";
    case RunStatus::NoNumber:
        return "no-number";
    case RunStatus::GameNotStarted:
        return "game-not-started";
    case RunStatus::NoNewResult:
        return "no-new-result";
    case RunStatus::LogUnreadable:
        return "log-unreadable";
    case RunStatus::TimedOut:
        return "timed-out";
    case RunStatus::Stopped:
        return "stopped";
    }
    return "unknown";
}

std::vector<int> ChosenScenes(const CliOptions& options) {
    std::vector<int> scenes;
    for (int index = 0; index < bench::kSceneCount; ++index) {
        if (options.scenes[static_cast<std::size_t>(index)]) {
            scenes.push_back(index);
        }
    }
    return scenes;
}

std::vector<int> ScenesOfRound(const RunReport& report, int round) {
    if (report.stopped || report.commandLines.empty()) {
        return {};
    }
    std::vector<int> scenes;
    for (const CommandLineRecord& line : report.commandLines) {
        if (round <= report.options.runs ||
            WantsAnotherRun(SpreadOf(OkValues(report, line.sceneIndex)), RunsOf(report, line.sceneIndex),
                            report.options.runs)) {
            scenes.push_back(line.sceneIndex);
        }
    }
    return scenes;
}

std::vector<SceneSummary> SummarizeScenes(const RunReport& report) {
    std::vector<SceneSummary> summaries;
    for (const CommandLineRecord& line : report.commandLines) {
        SceneSummary summary;
        summary.sceneIndex = line.sceneIndex;
        summary.runs = RunsOf(report, line.sceneIndex);
        const std::vector<double> values = OkValues(report, line.sceneIndex);
        summary.results = static_cast<int>(values.size());
        summary.fps = SpreadOf(values);
        summary.extraRuns = summary.runs > report.options.runs;
        summary.stillVaries =
            summary.fps.variationPercent.has_value() && *summary.fps.variationPercent >= kMaxVariationPercent;
        const bench::SceneRow& scene = bench::SceneTable()[static_cast<std::size_t>(line.sceneIndex)];
        if (!scene.isFlyby) {
            std::vector<std::uint32_t> seeds;
            for (const SceneAttempt& run : report.runs) {
                if (run.sceneIndex == line.sceneIndex && run.status == RunStatus::Ok && run.reading.engine) {
                    seeds.push_back(run.reading.engine->randSeed);
                }
            }
            summary.seedsDiffer = SeedsDiffer(seeds);
        }
        summaries.push_back(summary);
    }
    return summaries;
}

ScoreSummary SummarizeScore(const RunReport& report) {
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

int ExitStatus(const RunReport& report) {
    if (report.stopped || report.runs.empty()) {
        return kExitSomeFailed;
    }
    for (const SceneAttempt& run : report.runs) {
        if (run.status != RunStatus::Ok) {
            return kExitSomeFailed;
        }
    }
    return kExitAllResults;
}

int ExitStatus(const std::vector<RunReport>& reports) {
    for (const RunReport& report : reports) {
        if (ExitStatus(report) != kExitAllResults) {
            return kExitSomeFailed;
        }
    }
    return reports.empty() ? kExitSomeFailed : kExitAllResults;
}

} // namespace cli
