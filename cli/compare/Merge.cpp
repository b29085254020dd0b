// Reports merged: labels, the configurations they share, the index and the warnings.
#include "cli/compare/Merge.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "framework/Format.h"

namespace cli {

namespace {

std::string FileName(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// "1466.53 MHz" as whole MHz: "1467 MHz"; a text that is no clock as it is.
std::string WholeMhz(const std::string& frequency) {
    double mhz = 0.0;
    const auto [end, error] = std::from_chars(frequency.data(), frequency.data() + frequency.size(), mhz);
    if (error != std::errc() || end == frequency.data()) {
        return frequency;
    }
    return framework::Format("%.0f MHz", std::round(mhz));
}

std::string OptionsText(const RunPlan& plan) {
    const std::size_t scenes = ChosenScenes(plan).size();
    return framework::Format("%zu scene%s, %d run%s", scenes, scenes == 1 ? "" : "s", plan.runs,
                             plan.runs == 1 ? "" : "s");
}

// The index of the merged configuration `configuration` in `merged`, or none.
const ReportValuesOf* ValuesIn(const MergedConfiguration& merged, int report) {
    for (const ReportValuesOf& values : merged.reports) {
        if (values.report == report) {
            return &values;
        }
    }
    return nullptr;
}

// The ratio of a report's configuration to the reference's: of the scores when
// both have them, else the mean of the scenes' ratios; none without a scene in common.
std::optional<double> Ratio(const ConfigurationValues& reference, const ConfigurationValues& values,
                            bool& fromScenes) {
    const Spread referenceScore = SpreadOf(reference.scores);
    const Spread score = SpreadOf(values.scores);
    if (referenceScore.mean && score.mean && *referenceScore.mean > 0.0) {
        return *score.mean / *referenceScore.mean;
    }
    double sum = 0.0;
    int scenes = 0;
    for (const auto& [scene, fps] : reference.sceneFps) {
        const auto other = values.sceneFps.find(scene);
        const Spread base = SpreadOf(fps);
        if (other != values.sceneFps.end() && base.mean && *base.mean > 0.0) {
            sum += *SpreadOf(other->second).mean / *base.mean;
            ++scenes;
        }
    }
    if (scenes == 0) {
        return std::nullopt;
    }
    fromScenes = true;
    return sum / scenes;
}

std::vector<std::string> Warnings(const std::vector<MergeInput>& inputs, const Merge& merge) {
    std::vector<std::string> warnings;
    const auto labelOf = [&merge](std::size_t report) {
        return merge.reports[report].label;
    };
    std::map<std::string, std::string> versions;
    for (std::size_t i = 0; i < merge.reports.size(); ++i) {
        std::string& labels = versions[merge.reports[i].korvaneVersion];
        labels.append(labels.empty() ? "" : ", ").append(labelOf(i));
    }
    if (versions.size() > 1) {
        std::string listed;
        for (const auto& [version, labels] : versions) {
            listed.append(listed.empty() ? "" : "; ").append(version).append(" (").append(labels).append(")");
        }
        warnings.push_back("the reports come from different korvane-cli versions: " + listed);
    }
    for (const MergedReport& report : merge.reports) {
        if (!report.complete) {
            warnings.push_back(framework::Format("%s is not complete: %d of %d scene runs are done",
                                                 report.label.c_str(), report.progress.done,
                                                 report.progress.planned));
        }
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (inputs[i].sameFileAs == static_cast<int>(j) ||
                inputs[i].contentHash == inputs[j].contentHash) {
                warnings.push_back(labelOf(j) + " and " + labelOf(i) + " are the same report");
                break;
            }
        }
    }
    for (const MergedConfiguration& configuration : merge.configurations) {
        std::string listed;
        bool differ = false;
        const RunPlan& first = merge.reports[static_cast<std::size_t>(configuration.reports[0].report)].plan;
        for (const ReportValuesOf& values : configuration.reports) {
            const RunPlan& plan = merge.reports[static_cast<std::size_t>(values.report)].plan;
            differ = differ || plan.scenes != first.scenes || plan.runs != first.runs;
            listed += (listed.empty() ? "" : ", ") + labelOf(static_cast<std::size_t>(values.report)) + " (" +
                      OptionsText(plan) + ")";
        }
        if (differ) {
            warnings.push_back(ConfigurationText(configuration.configuration) +
                               " was run with different scenes or run counts: " + listed);
        }
    }
    return warnings;
}

} // namespace

std::vector<std::string> LabelFacts(const MergedReport& report) {
    return {report.machine.videoCard,
            report.adapter ? "driver " + report.adapter->driverVersion : std::string("driver unknown"),
            report.machine.processor,
            WholeMhz(report.machine.frequency),
            report.machine.ramSize,
            report.machine.osName,
            OptionsText(report.plan)};
}

std::vector<int> ScenesOf(const MergedConfiguration& configuration) {
    std::vector<int> scenes;
    for (int scene = 0; scene < bench::kSceneCount; ++scene) {
        for (const ReportValuesOf& report : configuration.reports) {
            if (report.values.sceneFps.count(scene) > 0) {
                scenes.push_back(scene);
                break;
            }
        }
    }
    return scenes;
}

std::optional<double> MeanFps(const ConfigurationValues& values) {
    if (values.sceneFps.empty()) {
        return std::nullopt;
    }
    double sum = 0.0;
    for (const auto& [scene, fps] : values.sceneFps) {
        sum += *SpreadOf(fps).mean;
    }
    return sum / static_cast<double>(values.sceneFps.size());
}

std::uint64_t ContentHash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

std::optional<Merge> MergeReports(const std::vector<MergeInput>& inputs, const std::string& referenceLabel,
                                  std::string& problem) {
    Merge merge;
    std::vector<ReportValues> values;
    for (const MergeInput& input : inputs) {
        const CallReport& call = input.report.call;
        merge.reports.push_back({input.label, input.path, call.korvaneVersion, call.machine, call.adapter,
                                 call.plan, call.complete, ProgressOf(call)});
        values.push_back(ValuesOf(input.report));
    }

    // Labels: the facts that differ among the reports, or the file's name.
    std::vector<std::vector<std::string>> facts;
    for (const MergedReport& report : merge.reports) {
        facts.push_back(LabelFacts(report));
    }
    std::vector<std::size_t> differing;
    for (std::size_t fact = 0; fact < facts.front().size(); ++fact) {
        for (const std::vector<std::string>& report : facts) {
            if (report[fact] != facts.front()[fact]) {
                differing.push_back(fact);
                break;
            }
        }
    }
    const std::size_t kClockFact = 3;
    merge.differOnlyInClock = differing == std::vector<std::size_t>{kClockFact};
    for (std::size_t i = 0; i < merge.reports.size(); ++i) {
        std::string& label = merge.reports[i].label;
        if (!label.empty()) {
            continue;
        }
        for (const std::size_t fact : differing) {
            label += (label.empty() ? "" : ", ") + facts[i][fact];
        }
        label = label.empty() ? FileName(merge.reports[i].path) : label;
    }
    // Equal labels are told apart by a number each.
    std::map<std::string, int> counts, seen;
    for (const MergedReport& report : merge.reports) {
        ++counts[report.label];
    }
    for (MergedReport& report : merge.reports) {
        if (counts[report.label] > 1) {
            const std::string label = report.label;
            report.label = framework::Format("%s (%d)", label.c_str(), ++seen[label]);
        }
    }

    if (!referenceLabel.empty()) {
        const auto found =
            std::find_if(merge.reports.begin(), merge.reports.end(),
                         [&](const MergedReport& report) { return report.label == referenceLabel; });
        if (found == merge.reports.end()) {
            std::string labels;
            for (const MergedReport& report : merge.reports) {
                labels += (labels.empty() ? "" : "; ") + report.label;
            }
            problem = "--reference \"" + referenceLabel + "\" names no report; the labels are: " + labels;
            return std::nullopt;
        }
        merge.reference = static_cast<int>(found - merge.reports.begin());
    }

    // Every configuration two or more reports hold, in the order they hold them.
    for (std::size_t i = 0; i < values.size(); ++i) {
        for (const ConfigurationValues& configuration : values[i].configurations) {
            const bool merged = std::any_of(merge.configurations.begin(), merge.configurations.end(),
                                            [&](const MergedConfiguration& known) {
                                                return known.configuration == configuration.configuration;
                                            });
            if (merged) {
                continue;
            }
            MergedConfiguration entry;
            entry.configuration = configuration.configuration;
            for (std::size_t j = i; j < values.size(); ++j) {
                for (const ConfigurationValues& other : values[j].configurations) {
                    if (other.configuration == configuration.configuration) {
                        entry.reports.push_back({static_cast<int>(j), other, {}, std::nullopt});
                        break;
                    }
                }
            }
            if (entry.reports.size() > 1) {
                merge.configurations.push_back(entry);
            }
        }
    }
    if (merge.configurations.empty()) {
        problem = "the reports share no configuration";
        return std::nullopt;
    }

    // Each report against the reference, configuration by configuration.
    for (MergedConfiguration& configuration : merge.configurations) {
        const ReportValuesOf* reference = ValuesIn(configuration, merge.reference);
        configuration.referenceHolds = reference != nullptr;
        if (reference == nullptr) {
            continue;
        }
        const ConfigurationValues base = reference->values;
        for (ReportValuesOf& report : configuration.reports) {
            if (report.report == merge.reference) {
                continue;
            }
            for (const auto& [scene, fps] : base.sceneFps) {
                const auto other = report.values.sceneFps.find(scene);
                if (other != report.values.sceneFps.end()) {
                    if (const std::optional<Difference> difference = CompareValues(fps, other->second)) {
                        report.scenes.push_back({scene, *difference});
                    }
                }
            }
            report.score = CompareValues(base.scores, report.values.scores);
        }
    }

    // The index and the ranking.
    for (std::size_t i = 0; i < merge.reports.size(); ++i) {
        IndexEntry entry;
        entry.report = static_cast<int>(i);
        double logs = 0.0;
        for (const MergedConfiguration& configuration : merge.configurations) {
            const ReportValuesOf* reference = ValuesIn(configuration, merge.reference);
            const ReportValuesOf* report = ValuesIn(configuration, static_cast<int>(i));
            if (reference == nullptr || report == nullptr) {
                continue;
            }
            bool fromScenes = false;
            const std::optional<double> ratio = Ratio(reference->values, report->values, fromScenes);
            if (ratio && *ratio > 0.0) {
                logs += std::log(*ratio);
                ++entry.configurations;
                entry.fromScenes = entry.fromScenes || fromScenes;
            }
        }
        if (entry.configurations > 0) {
            entry.index = static_cast<int>(i) == merge.reference
                              ? 100.0
                              : 100.0 * std::exp(logs / entry.configurations);
        }
        merge.ranking.push_back(entry);
    }
    std::stable_sort(merge.ranking.begin(), merge.ranking.end(),
                     [](const IndexEntry& a, const IndexEntry& b) {
                         return a.index.has_value() && (!b.index.has_value() || *a.index > *b.index);
                     });

    merge.warnings = Warnings(inputs, merge);
    return merge;
}

} // namespace cli
