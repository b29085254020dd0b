// Markdown tables.
#include "cli/output/Markdown.h"

#include "cli/output/Text.h"
#include "framework/Format.h"

namespace cli {

namespace {

std::string DifferenceCells(const Difference& difference, int decimals) {
    return framework::Format("%s | %s | %+.2f %% | %s |",
                             framework::Format("%.*f", decimals, *difference.base.mean).c_str(),
                             framework::Format("%.*f", decimals, *difference.newer.mean).c_str(),
                             difference.percent, IntervalText(difference).c_str());
}

} // namespace

std::string MarkdownText(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (std::string("\\`*_[]<>|").find(c) != std::string::npos) {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

std::string CompareMarkdown(const Comparison& comparison, const std::string& basePath,
                            const std::string& newPath) {
    std::string text = "### " + std::string(kProgramName) + " compare\n\nBase: " + MarkdownText(basePath) +
                       "  \nNew: " + MarkdownText(newPath) + "\n";
    for (const ConfigurationComparison& configuration : comparison.configurations) {
        text += "\n**" + MarkdownText(ConfigurationText(configuration.configuration)) + ": " +
                VerdictText(configuration.verdict) + "**\n\n";
        text += "| Scene | Base | New | Difference | 95 % interval |\n|---|---:|---:|---:|---|\n";
        for (const SceneComparison& scene : configuration.scenes) {
            text += "| " + MarkdownText(SceneOf(scene.sceneIndex).checkBoxText) + " | " +
                    DifferenceCells(scene.difference, 2) + "\n";
        }
        if (configuration.score) {
            text += "| Score (Korvanes) | " + DifferenceCells(*configuration.score, 0) + "\n";
        }
    }
    return text;
}

std::string MergeMarkdown(const Merge& merge) {
    std::string text = "### " + std::string(kProgramName) + " merge\n\n";
    text += "| Rank | Report | Index | Rests on |\n|---:|---|---:|---|\n";
    int rank = 0;
    for (const IndexEntry& entry : merge.ranking) {
        const MergedReport& report = merge.reports[static_cast<std::size_t>(entry.report)];
        text += framework::Format("| %d | %s%s | %s | %s |\n", ++rank, MarkdownText(report.label).c_str(),
                                  entry.report == merge.reference ? " (reference)" : "",
                                  IndexText(entry).c_str(), IndexBasisText(entry).c_str());
    }
    for (const std::string& warning : merge.warnings) {
        text += "\n*Warning:* " + MarkdownText(warning) + "\n";
    }
    for (const MergedConfiguration& configuration : merge.configurations) {
        const std::vector<int> scenes = ScenesOf(configuration);
        text += "\n**" + MarkdownText(ConfigurationText(configuration.configuration)) + "**\n\n| Report |";
        std::string alignment = "|---|";
        for (const int scene : scenes) {
            text += " " + MarkdownText(SceneShortName(scene)) + " |";
            alignment += "---:|";
        }
        text += " Score | Difference | 95 % interval |\n" + alignment + "---:|---:|---|\n";
        for (const ReportValuesOf& report : configuration.reports) {
            text += "| " + MarkdownText(merge.reports[static_cast<std::size_t>(report.report)].label) + " |";
            for (const int scene : scenes) {
                const auto fps = report.values.sceneFps.find(scene);
                text += fps == report.values.sceneFps.end()
                            ? " - |"
                            : framework::Format(" %.2f |", *SpreadOf(fps->second).mean);
            }
            const Spread score = SpreadOf(report.values.scores);
            text += score.mean ? framework::Format(" %.0f |", *score.mean) : std::string(" - |");
            text += report.report == merge.reference ? " reference | |\n"
                    : report.score ? framework::Format(" %+.2f %% | %s |\n", report.score->percent,
                                                       IntervalText(*report.score).c_str())
                                   : " - | |\n";
        }
    }
    return text;
}

} // namespace cli
