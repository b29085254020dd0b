// The console texts of a call and of a comparison.
#include "cli/output/Text.h"

#include <algorithm>
#include <optional>

#include "bench/BenchOptions.h"
#include "framework/Format.h"

namespace cli {

namespace {

std::string RunOfText(const RunPlan& plan, const SceneAttempt& run) {
    if (run.attempt <= plan.runs) {
        return framework::Format("run %d of %d", run.attempt, plan.runs);
    }
    return framework::Format("run %d of up to %d", run.attempt, 2 * plan.runs);
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

template <typename Values, typename Name> std::string Joined(const Values& values, Name name) {
    std::string joined;
    for (const auto& value : values) {
        joined += (joined.empty() ? "" : ", ") + std::string(name(value));
    }
    return joined;
}

std::string ConfigurationResults(const RunPlan& plan, const ConfigurationReport& report) {
    std::string text;
    if (!report.composeMessage.empty()) {
        text += "No scene ran:\n" + Indented(report.composeMessage);
    }
    text += framework::Format("%-24s %4s %7s %9s %8s %10s  %s\n", "Scene", "Runs", "Results", "Mean fps",
                              "Std dev", "Variation", "Notes");
    for (const SceneSummary& summary : SummarizeScenes(plan, report)) {
        std::string notes;
        const auto addNote = [&notes](const std::string& note) {
            notes += (notes.empty() ? "" : "; ") + note;
        };
        if (summary.extraRuns) {
            addNote("run again for its spread");
        }
        if (summary.stillVaries) {
            addNote(framework::Format("varies by %g %% or more", plan.maxVariationPercent));
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
        text += ChosenScenes(plan).size() == static_cast<std::size_t>(bench::kSceneCount)
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

// `decimals`: of the means, 2 for frame rates, 0 for Korvanes.
std::string DifferenceRow(const std::string& name, const Difference& difference, int decimals) {
    return framework::Format(
        "%-24s %7s %9s %9s %10s  %s\n", name.c_str(),
        framework::Format("%zu/%zu", difference.base.count, difference.newer.count).c_str(),
        framework::Format("%.*f", decimals, *difference.base.mean).c_str(),
        framework::Format("%.*f", decimals, *difference.newer.mean).c_str(),
        framework::Format("%+.2f %%", difference.percent).c_str(), IntervalText(difference).c_str());
}

} // namespace

std::string ClockText(double seconds) {
    const long total = seconds > 0.0 && seconds < 1e9 ? static_cast<long>(seconds) : 0L;
    if (total >= 3600) {
        return framework::Format("%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    }
    return framework::Format("%ld:%02ld", total / 60, total % 60);
}

std::string HexText(std::uint32_t value, int digits) {
    return framework::Format("%0*X", digits, static_cast<unsigned>(value));
}

std::string PciIdsText(const sysinfo::AdapterIdentity& adapter) {
    return "vendor " + HexText(adapter.vendorId, 4) + ", device " + HexText(adapter.deviceId, 4) +
           ", subsystem " + HexText(adapter.subsystemId, 8) + ", revision " +
           std::to_string(adapter.revision);
}

std::string PositionText(const CallReport& call, std::optional<double> secondsLeft) {
    const Progress progress = ProgressOf(call);
    std::string text = framework::Format("%d of %d scene runs are done", progress.done, progress.planned);
    if (secondsLeft && progress.done < progress.planned) {
        text += ", about " + ClockText(*secondsLeft) + " left";
    }
    return text;
}

std::string HeaderText(const CallReport& call) {
    const RunPlan& plan = call.plan;
    std::string text = std::string(kProgramName) + " " + call.korvaneVersion + "\n";
    text += "Processor:   " + call.machine.processor + "\n";
    text += "Frequency:   " + call.machine.frequency + "\n";
    text += "Cache:       " + call.machine.cache + "\n";
    text += "RAM Size:    " + call.machine.ramSize + "\n";
    text += "OS Name:     " + call.machine.osName + "\n";
    text += "Video Card:  " + call.machine.videoCard + "\n";
    const std::vector<Configuration> configurations = Configurations(plan);
    std::string planned = configurations.empty() ? std::string() : ConfigurationText(configurations.front());
    if (configurations.size() > 1) {
        planned = framework::Format(
            "%zu configurations (%s; %s; %s)", configurations.size(),
            Joined(plan.renderers, [](bench::Renderer renderer) { return NamesOf(renderer).text; }).c_str(),
            Joined(plan.details, [](bench::Detail detail) { return NamesOf(detail).text; }).c_str(),
            Joined(plan.resolutions, [](const std::string& resolution) { return resolution; }).c_str());
    }
    const std::size_t scenes = ChosenScenes(plan).size();
    text += framework::Format("Options:     %s; %zu scene%s, %d run%s each; time-out %d s per scene run\n",
                              planned.c_str(), scenes, scenes == 1 ? "" : "s", plan.runs,
                              plan.runs == 1 ? "" : "s", LongestTimeoutSeconds(plan));
    return text + "\n";
}

std::string ProgressText(const CallReport& call, const ConfigurationReport& report, const SceneAttempt& run,
                         double totalSeconds, std::optional<double> secondsLeft) {
    const std::string outcome = run.status == bench::SceneStatus::Recorded
                                    ? framework::Format("%.2f fps", run.reading.fps)
                                    : std::string(StatusWords(run.status));
    // In a sweep, padded to the longest, "Direct3D 8.1, High, 1600x1200:", so that the columns stay put.
    const std::string configuration =
        Configurations(call.plan).size() > 1
            ? framework::Format("%-30s ", (ConfigurationText(report.configuration) + ":").c_str())
            : "";
    const Progress progress = ProgressOf(call);
    std::string position = framework::Format("%d of %d", progress.done, progress.planned);
    if (secondsLeft && progress.done < progress.planned) {
        position += ", about " + ClockText(*secondsLeft) + " left";
    }
    std::string text =
        framework::Format("[%s] %s%-24s %-18s %7.1f s   %-12s (%s)\n", ClockText(totalSeconds).c_str(),
                          configuration.c_str(), SceneOf(run.sceneIndex).checkBoxText,
                          RunOfText(call.plan, run).c_str(), run.seconds, outcome.c_str(), position.c_str());
    if (run.status != bench::SceneStatus::Recorded) {
        text += Indented(run.message);
    }
    return text;
}

std::string ExtraRunText(const CallReport& call, const ConfigurationReport& report, int sceneIndex) {
    for (const SceneSummary& summary : SummarizeScenes(call.plan, report)) {
        if (summary.sceneIndex == sceneIndex && summary.fps.variationPercent) {
            return framework::Format("%s varies by %.2f %% over %d results: one more run\n",
                                     SceneOf(sceneIndex).checkBoxText, *summary.fps.variationPercent,
                                     summary.results);
        }
    }
    return {};
}

std::string ResultsText(const CallReport& call) {
    if (call.configurations.size() == 1 && Configurations(call.plan).size() == 1) {
        return ConfigurationResults(call.plan, call.configurations.front());
    }
    std::string text;
    for (const ConfigurationReport& report : call.configurations) {
        text += (text.empty() ? "" : "\n") + ConfigurationText(report.configuration) + "\n" +
                ConfigurationResults(call.plan, report);
    }
    return text;
}

std::string IntervalText(const Difference& difference) {
    return difference.low ? framework::Format("%+.2f %% to %+.2f %%", *difference.low, *difference.high)
                          : std::string("none: ") + difference.noInterval;
}

std::string CompareText(const Comparison& comparison, const std::string& basePath,
                        const std::string& newPath) {
    std::string text =
        std::string(kProgramName) + " compare\nBase: " + basePath + "\nNew:  " + newPath + "\n";
    for (const ConfigurationComparison& configuration : comparison.configurations) {
        const std::string name = ConfigurationText(configuration.configuration);
        text += "\n" + name + "\n";
        text += framework::Format("%-24s %7s %9s %9s %10s  %s\n", "Scene", "Runs", "Base", "New",
                                  "Difference", "95 % interval");
        for (const SceneComparison& scene : configuration.scenes) {
            text += DifferenceRow(SceneOf(scene.sceneIndex).checkBoxText, scene.difference, 2);
        }
        if (configuration.score) {
            text += DifferenceRow("Score (Korvanes)", *configuration.score, 0);
        }
        text += name + ": " + VerdictText(configuration.verdict) + "\n";
    }
    const auto listed = [&text](const std::string& path, const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            text += framework::Format("Only in %s: %s\n", path.c_str(), name.c_str());
        }
    };
    text += comparison.onlyInBase.empty() && comparison.onlyInNew.empty() ? "" : "\n";
    listed(basePath, comparison.onlyInBase);
    listed(newPath, comparison.onlyInNew);
    return text;
}

std::string SceneShortName(int sceneIndex) {
    const std::string name = SceneOf(sceneIndex).checkBoxText;
    return name.substr(0, name.find(" - "));
}

std::string IndexText(const IndexEntry& entry) {
    return entry.index ? framework::Format("%.1f", *entry.index) : std::string("-");
}

std::string IndexBasisText(const IndexEntry& entry) {
    if (!entry.index) {
        return "no configuration in common with the reference";
    }
    return framework::Format(
        "%d configuration%s%s", entry.configurations, entry.configurations == 1 ? "" : "s",
        entry.fromScenes ? "; from the scenes' frame rates where there was no score" : "");
}

std::string MergeTables(const Merge& merge) {
    std::size_t labelWidth = 6;
    for (const MergedReport& report : merge.reports) {
        labelWidth = std::max(labelWidth, report.label.size());
    }
    const int width = static_cast<int>(labelWidth);
    std::string text;
    for (const MergedConfiguration& configuration : merge.configurations) {
        const std::vector<int> scenes = ScenesOf(configuration);
        text += ConfigurationText(configuration.configuration) + "\n";
        text += framework::Format("%-*s", width, "Report");
        for (const int scene : scenes) {
            text += framework::Format(" %10s", SceneShortName(scene).c_str());
        }
        text += framework::Format(" %9s %10s  %s\n", "Score", "Difference", "95 % interval");
        for (const ReportValuesOf& report : configuration.reports) {
            const MergedReport& merged = merge.reports[static_cast<std::size_t>(report.report)];
            text += framework::Format("%-*s", width, merged.label.c_str());
            for (const int scene : scenes) {
                const auto fps = report.values.sceneFps.find(scene);
                text += fps == report.values.sceneFps.end()
                            ? framework::Format(" %10s", "-")
                            : framework::Format(" %10.2f", *SpreadOf(fps->second).mean);
            }
            const Spread score = SpreadOf(report.values.scores);
            text += score.mean ? framework::Format(" %9.0f", *score.mean) : framework::Format(" %9s", "-");
            if (report.report == merge.reference) {
                text += framework::Format(" %10s\n", "reference");
            } else if (report.score) {
                text += framework::Format(" %10s  %s\n",
                                          framework::Format("%+.2f %%", report.score->percent).c_str(),
                                          IntervalText(*report.score).c_str());
            } else {
                text += framework::Format(" %10s\n", "-");
            }
        }
        text += configuration.referenceHolds ? "" : "(the reference does not hold this configuration)\n";
        text += "\n";
    }
    text += "Ranking by index (the reference is 100)\n";
    int rank = 0;
    for (const IndexEntry& entry : merge.ranking) {
        text += framework::Format("%3d  %-*s %7s  %s\n", ++rank, width,
                                  merge.reports[static_cast<std::size_t>(entry.report)].label.c_str(),
                                  IndexText(entry).c_str(), IndexBasisText(entry).c_str());
    }
    return text;
}

std::string MergeText(const Merge& merge) {
    std::string text = std::string(kProgramName) + " merge\n";
    for (std::size_t i = 0; i < merge.reports.size(); ++i) {
        const MergedReport& report = merge.reports[i];
        const std::string file = report.label == report.path ? std::string() : ": " + report.path;
        text += framework::Format("%3zu  %s%s%s\n", i + 1, report.label.c_str(), file.c_str(),
                                  static_cast<int>(i) == merge.reference ? " (the reference)" : "");
    }
    for (const std::string& warning : merge.warnings) {
        text += "Warning: " + warning + "\n";
    }
    return text + "\n" + MergeTables(merge);
}

} // namespace cli
