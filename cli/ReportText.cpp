// The console texts of a korvane-cli run: header, progress lines and results.
#include "cli/ReportText.h"

#include <optional>

#include "bench/BenchOptions.h"
#include "framework/Format.h"

namespace cli {

namespace {

const char* RendererText(bench::Renderer renderer) {
    return renderer == bench::Renderer::OpenGL ? "OpenGL ICD" : "Direct3D 8.1";
}

const char* DetailText(bench::Detail detail) {
    return detail == bench::Detail::High ? "High" : "Low";
}

// m:ss, or h:mm:ss from an hour on.
std::string ClockText(double seconds) {
    const long total = seconds > 0.0 ? static_cast<long>(seconds) : 0L;
    if (total >= 3600) {
        return framework::Format("%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    }
    return framework::Format("%ld:%02ld", total / 60, total % 60);
}

std::string RunOfText(const RunReport& report, const SceneAttempt& run) {
    if (run.attempt <= report.options.runs) {
        return framework::Format("run %d of %d", run.attempt, report.options.runs);
    }
    return framework::Format("run %d of up to %d", run.attempt, 2 * report.options.runs);
}

const char* FailureWords(RunStatus status) {
    switch (status) {
    case RunStatus::Ok:
        return "";
    case RunStatus::NoNumber:
        return "no number in the log's last line";
    case RunStatus::GameNotStarted:
        return "the game did not start";
    case RunStatus::NoNewResult:
        return "no new result";
    case RunStatus::LogUnreadable:
        return "the log could not be read";
    case RunStatus::TimedOut:
        return "timed out";
    case RunStatus::Stopped:
        return "stopped";
    }
    return "";
}

// Every line of `text` indented by four blanks, empty lines dropped.
std::string Indented(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start) {
            out += "    " + text.substr(start, end - start) + "\n";
        }
        start = end + 1;
    }
    return out;
}

std::string FpsText(const std::optional<double>& value) {
    return value ? framework::Format("%.2f", *value) : std::string("-");
}

std::string PercentText(const std::optional<double>& value) {
    return value ? framework::Format("%.2f %%", *value) : std::string("-");
}

} // namespace

std::string HeaderText(const RunReport& report) {
    const CliOptions& options = report.options;
    std::string text = std::string(kProgramName) + " " + report.korvaneVersion + "\n";
    text += "Processor:   " + report.machine.processor + "\n";
    text += "Frequency:   " + report.machine.frequency + "\n";
    text += "Cache:       " + report.machine.cache + "\n";
    text += "RAM Size:    " + report.machine.ramSize + "\n";
    text += "OS Name:     " + report.machine.osName + "\n";
    text += "Video Card:  " + report.machine.videoCard + "\n";
    std::string configurations = ConfigurationText(options);
    const std::size_t count = Configurations(options).size();
    if (count > 1) {
        const auto join = [](const auto& values, auto name) {
            std::string joined;
            for (const auto& value : values) {
                joined += (joined.empty() ? "" : ", ") + std::string(name(value));
            }
            return joined;
        };
        configurations = framework::Format(
            "%zu configurations (%s; %s; %s)", count, join(options.renderers, RendererText).c_str(),
            join(options.details, DetailText).c_str(),
            join(options.resolutions, [](const std::string& resolution) { return resolution; }).c_str());
    }
    const std::size_t scenes = ChosenScenes(options).size();
    text += framework::Format("Options:     %s; %zu scene%s, %d run%s each; time-out %d s per scene run\n",
                              configurations.c_str(), scenes, scenes == 1 ? "" : "s", options.runs,
                              options.runs == 1 ? "" : "s", TimeoutSeconds(options, bench::SceneTable()[0]));
    return text + "\n";
}

std::string ConfigurationText(const CliOptions& options) {
    return ConfigurationText(options.renderer, options.detail, options.resolutionText);
}

std::string ConfigurationText(bench::Renderer renderer, bench::Detail detail, const std::string& resolution) {
    return framework::Format("%s, %s, %s", RendererText(renderer), DetailText(detail), resolution.c_str());
}

std::string ProgressText(const RunReport& report, const SceneAttempt& run, double totalSeconds,
                         bool namesConfiguration) {
    std::string outcome = run.status == RunStatus::Ok ? framework::Format("%.2f fps", run.reading.fps)
                                                      : std::string(FailureWords(run.status));
    // Padded to the longest, "Direct3D 8.1, High, 1600x1200:", so that the columns stay put.
    const std::string configuration =
        namesConfiguration ? framework::Format("%-30s ", (ConfigurationText(report.options) + ":").c_str())
                           : "";
    std::string text = framework::Format("[%s] %s%-24s %-18s %7.1f s   %s\n", ClockText(totalSeconds).c_str(),
                                         configuration.c_str(), SceneOf(run.sceneIndex).checkBoxText,
                                         RunOfText(report, run).c_str(), run.seconds, outcome.c_str());
    if (run.status != RunStatus::Ok) {
        text += Indented(run.message);
    }
    return text;
}

std::string ExtraRunText(const RunReport& report, int sceneIndex) {
    for (const SceneSummary& summary : SummarizeScenes(report)) {
        if (summary.sceneIndex == sceneIndex && summary.fps.variationPercent) {
            return framework::Format("%s varies by %.2f %% over %d results: one more run\n",
                                     SceneOf(sceneIndex).checkBoxText, *summary.fps.variationPercent,
                                     summary.results);
        }
    }
    return {};
}

std::string ResultsText(const RunReport& report) {
    std::string text;
    if (!report.composeMessage.empty()) {
        text += "No scene ran:\n" + Indented(report.composeMessage);
    }
    text += framework::Format("%-24s %4s %7s %9s %8s %10s  %s\n", "Scene", "Runs", "Results", "Mean fps",
                              "Std dev", "Variation", "Notes");
    for (const SceneSummary& summary : SummarizeScenes(report)) {
        std::string notes;
        const auto addNote = [&notes](const std::string& note) {
            notes += (notes.empty() ? "" : "; ") + note;
        };
        if (summary.extraRuns) {
            addNote("run again for its spread");
        }
        if (summary.stillVaries) {
            addNote("varies by 3.5 % or more");
        }
        if (summary.seedsDiffer.value_or(false)) {
            addNote("rand[] seeds differ: not the same sequence");
        }
        if (summary.results < summary.runs) {
            addNote(framework::Format("%d run%s without a result", summary.runs - summary.results,
                                      summary.runs - summary.results == 1 ? "" : "s"));
        }
        text += framework::Format("%-24s %4d %7d %9s %8s %10s", SceneOf(summary.sceneIndex).checkBoxText,
                                  summary.runs, summary.results, FpsText(summary.fps.mean).c_str(),
                                  FpsText(summary.fps.standardDeviation).c_str(),
                                  PercentText(summary.fps.variationPercent).c_str());
        text += (notes.empty() ? "" : "  " + notes) + "\n";
    }
    text += "\n";

    const ScoreSummary score = SummarizeScore(report);
    if (score.sets.empty()) {
        text += ChosenScenes(report.options).size() == static_cast<std::size_t>(bench::kSceneCount)
                    ? "Score: N/A (no run gave all six scenes a result)\n"
                    : "Score: N/A (the score needs all six scenes)\n";
    } else {
        for (const SetScore& set : score.sets) {
            text += framework::Format(
                "Run %d: %1.0f Korvanes, Flyby scenes %1.2f fps, Botmatch scenes %1.2f fps\n", set.round,
                set.score, set.flybyAverage, set.botmatchAverage);
        }
        text += framework::Format("Score: %1.0f Korvanes, the mean of %zu complete run%s", *score.score.mean,
                                  score.sets.size(), score.sets.size() == 1 ? "" : "s");
        if (score.score.standardDeviation) {
            text += framework::Format(" (standard deviation %.2f)", *score.score.standardDeviation);
        }
        text += framework::Format("\nFlyby scenes: %1.2f fps, Botmatch scenes: %1.2f fps\n",
                                  *score.flybyAverage.mean, *score.botmatchAverage.mean);
    }
    if (report.stopped) {
        text += "Stopped by Ctrl-C: the runs above are all that was measured.\n";
    }
    return text;
}

std::string ResultsText(const std::vector<RunReport>& reports) {
    if (reports.size() == 1) {
        return ResultsText(reports.front());
    }
    std::string text;
    for (const RunReport& report : reports) {
        text += (text.empty() ? "" : "\n") + ConfigurationText(report.options) + "\n" + ResultsText(report);
    }
    return text;
}

} // namespace cli
