// The run's page and the comparison's.
#include "cli/output/Html.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "cli/output/Charts.h"
#include "cli/output/Text.h"
#include "framework/Format.h"

namespace cli {

namespace {

const char* const kStyle =
    "body{font-family:Verdana,Arial,Helvetica,sans-serif;font-size:13px;color:#222;margin:16px}"
    "h1{font-size:20px}h2{font-size:16px;margin-top:28px}"
    "table{border-collapse:collapse;margin:8px 0}th,td{border:1px solid #aaa;padding:2px 8px}"
    "th{background:#e8e8e8;text-align:left}td.n{text-align:right}"
    "object{display:block;margin:8px 0;border:1px solid #ccc}";

std::string Number(double value, int decimals) {
    return framework::Format("%.*f", decimals, value);
}

std::string Optional(const std::optional<double>& value, int decimals, const char* unit = "") {
    return value ? Number(*value, decimals) + unit : std::string("-");
}

// The scene table of a configuration, with its score.
std::string SceneResultsTable(const RunPlan& plan, const ConfigurationReport& report) {
    std::string html =
        "<table>\n<tr><th>Scene</th><th>Runs</th><th>Results</th><th>Mean fps</th><th>Std dev</th>"
        "<th>Variation</th><th>Each run, fps</th></tr>\n";
    for (const SceneSummary& summary : SummarizeScenes(plan, report)) {
        std::string values;
        for (const double value : ResultValues(report, summary.sceneIndex)) {
            values += (values.empty() ? "" : ", ") + Number(value, 2);
        }
        html += framework::Format(
            "<tr><td>%s</td><td class=\"n\">%d</td><td class=\"n\">%d</td><td class=\"n\">%s"
            "</td><td class=\"n\">%s</td><td class=\"n\">%s</td><td>%s</td></tr>\n",
            SceneOf(summary.sceneIndex).checkBoxText, summary.runs, summary.results,
            Optional(summary.fps.mean, 2).c_str(), Optional(summary.fps.standardDeviation, 2).c_str(),
            Optional(summary.fps.variationPercent, 2, " %").c_str(), values.c_str());
    }
    html += "</table>\n";
    const ScoreSummary score = SummarizeScore(report);
    html += score.sets.empty()
                ? "<p>Score: N/A</p>\n"
                : framework::Format("<p>Score: %1.0f Korvanes, the mean of %zu complete run%s; Flyby "
                                    "scenes %1.2f fps, Botmatch scenes %1.2f fps</p>\n",
                                    *score.score.mean, score.sets.size(), score.sets.size() == 1 ? "" : "s",
                                    *score.flybyAverage.mean, *score.botmatchAverage.mean);
    return html;
}

// The frame rate of each resolution of `group`, a column for each scene that was run.
std::string ScalingTable(const std::vector<const ConfigurationReport*>& group) {
    std::vector<int> scenes;
    for (int scene = 0; scene < bench::kSceneCount; ++scene) {
        const bool run = std::any_of(group.begin(), group.end(), [scene](const ConfigurationReport* report) {
            return std::any_of(report->runs.begin(), report->runs.end(),
                               [scene](const SceneAttempt& attempt) { return attempt.sceneIndex == scene; });
        });
        if (run) {
            scenes.push_back(scene);
        }
    }
    std::string html = "<table>\n<tr><th>Resolution</th>";
    for (const int scene : scenes) {
        html += framework::Format("<th>%s</th>", SceneOf(scene).checkBoxText);
    }
    html += "</tr>\n";
    for (const ConfigurationReport* report : group) {
        html += "<tr><td>" + report->configuration.resolution + "</td>";
        for (const int scene : scenes) {
            html += "<td class=\"n\">" + Optional(SpreadOf(ResultValues(*report, scene)).mean, 2) + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

std::string Page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           HtmlText(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n" + body +
           "</body>\n</html>\n";
}

std::string DifferenceRow(const std::string& name, const Difference& difference, int decimals) {
    return framework::Format(
        "<tr><td>%s</td><td class=\"n\">%zu/%zu</td><td class=\"n\">%s</td><td class=\"n\">%s</td>"
        "<td class=\"n\">%+.2f %%</td><td>%s</td></tr>\n",
        HtmlText(name).c_str(), difference.base.count, difference.newer.count,
        Number(*difference.base.mean, decimals).c_str(), Number(*difference.newer.mean, decimals).c_str(),
        difference.percent, IntervalText(difference).c_str());
}

} // namespace

std::string HtmlText(const std::string& text) {
    std::string html;
    for (const char c : text) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        default:
            html += c;
        }
    }
    return html;
}

std::string ReportHtml(const CallReport& call, const Utf8Converter& toUtf8,
                       std::optional<double> secondsLeft) {
    const RunPlan& plan = call.plan;
    const auto text = [&toUtf8](const std::string& value) {
        return HtmlText(InUtf8(toUtf8, value));
    };
    std::string body = "<h1>" + text(std::string(kProgramName) + " " + call.korvaneVersion) + "</h1>\n";
    body += "<table>\n";
    const std::pair<const char*, const std::string*> facts[] = {
        {"Processor:", &call.machine.processor}, {"Frequency:", &call.machine.frequency},
        {"Cache:", &call.machine.cache},         {"RAM Size:", &call.machine.ramSize},
        {"OS Name:", &call.machine.osName},      {"Video Card:", &call.machine.videoCard},
    };
    for (const auto& [label, value] : facts) {
        body += std::string("<tr><th>") + label + "</th><td>" + text(*value) + "</td></tr>\n";
    }
    if (call.adapter) {
        body += "<tr><th>Video driver:</th><td>" +
                text(call.adapter->driver + " " + call.adapter->driverVersion) +
                "</td></tr>\n<tr><th>PCI ids:</th><td>" + PciIdsText(*call.adapter) + "</td></tr>\n";
    }
    body += "<tr><th>Started:</th><td>" + text(call.startedAt) + "</td></tr>\n</table>\n";
    std::string scenes;
    for (const int scene : ChosenScenes(plan)) {
        scenes += (scenes.empty() ? "" : ", ") + std::string(SceneOf(scene).checkBoxText);
    }
    std::string configurations;
    for (const ConfigurationReport& report : call.configurations) {
        configurations +=
            (configurations.empty() ? "" : "; ") + HtmlText(ConfigurationText(report.configuration));
    }
    body += framework::Format("<p>Options: %s.<br>Scenes: %s; %d run%s each.</p>\n", configurations.c_str(),
                              scenes.c_str(), plan.runs, plan.runs == 1 ? "" : "s");
    if (!call.complete) {
        body += "<p><strong>This run is not complete:</strong> " + PositionText(call, secondsLeft) +
                (Stopped(call) ? ". It was stopped by Ctrl-C" : "") + ".</p>\n";
    }
    for (const ConfigurationReport& report : call.configurations) {
        body += "<h2>" + HtmlText(ConfigurationText(report.configuration)) + "</h2>\n";
        if (!report.composeMessage.empty()) {
            body += "<p>No scene ran: " + text(report.composeMessage) + "</p>\n";
        }
        body += SceneChart(plan, report) + SceneResultsTable(plan, report);
        body += report.stopped ? "<p>Stopped by Ctrl-C: the runs above are all that was measured.</p>\n" : "";
    }
    // The resolutions swept for each renderer and detail.
    const std::vector<ConfigurationReport>& reports = call.configurations;
    for (std::size_t start = 0; start < reports.size();) {
        std::vector<const ConfigurationReport*> group;
        std::size_t end = start;
        for (; end < reports.size() &&
               reports[end].configuration.renderer == reports[start].configuration.renderer &&
               reports[end].configuration.detail == reports[start].configuration.detail;
             ++end) {
            group.push_back(&reports[end]);
        }
        if (group.size() > 1) {
            const std::string name = ConfigurationText(reports[start].configuration);
            body += "<h2>Scaling: " + HtmlText(name.substr(0, name.rfind(", "))) + "</h2>\n";
            body += ScalingChart(group) + ScalingTable(group);
        }
        start = end;
    }
    return Page(std::string(kProgramName) + " report", body);
}

std::string CompareHtml(const Comparison& comparison, const std::string& basePath, const std::string& newPath,
                        const Utf8Converter& toUtf8) {
    const auto text = [&toUtf8](const std::string& value) {
        return HtmlText(InUtf8(toUtf8, value));
    };
    std::string body = std::string("<h1>") + kProgramName + " compare</h1>\n";
    body += "<table>\n<tr><th>Base</th><td>" + text(basePath) + "</td></tr>\n<tr><th>New</th><td>" +
            text(newPath) + "</td></tr>\n</table>\n";
    for (const ConfigurationComparison& configuration : comparison.configurations) {
        body += "<h2>" + HtmlText(ConfigurationText(configuration.configuration)) + ": " +
                VerdictText(configuration.verdict) + "</h2>\n";
        body += DifferenceChart(configuration);
        body += "<table>\n<tr><th>Scene</th><th>Runs</th><th>Base</th><th>New</th><th>Difference</th>"
                "<th>95 % interval</th></tr>\n";
        for (const SceneComparison& scene : configuration.scenes) {
            body += DifferenceRow(SceneOf(scene.sceneIndex).checkBoxText, scene.difference, 2);
        }
        if (configuration.score) {
            body += DifferenceRow("Score (Korvanes)", *configuration.score, 0);
        }
        body += "</table>\n";
    }
    for (const auto& [path, names] : {std::make_pair(&basePath, &comparison.onlyInBase),
                                      std::make_pair(&newPath, &comparison.onlyInNew)}) {
        for (const std::string& name : *names) {
            body += "<p>Only in " + text(*path) + ": " + HtmlText(name) + "</p>\n";
        }
    }
    return Page(std::string(kProgramName) + " compare", body);
}

namespace {

// The reports' clocks in MHz, from their frequency texts.
std::vector<double> Clocks(const Merge& merge) {
    std::vector<double> clocks;
    for (const MergedReport& report : merge.reports) {
        clocks.push_back(std::atof(report.machine.frequency.c_str()));
    }
    return clocks;
}

// True when every report holds a score in each of `configurations`.
bool AllHaveScores(const std::vector<const MergedConfiguration*>& configurations) {
    for (const MergedConfiguration* configuration : configurations) {
        for (const ReportValuesOf& report : configuration->reports) {
            if (report.values.scores.empty()) {
                return false;
            }
        }
    }
    return true;
}

std::string ValuesTable(const Merge& merge, const MergedConfiguration& configuration) {
    const std::vector<int> scenes = ScenesOf(configuration);
    std::string html = "<table>\n<tr><th>Report</th>";
    for (const int scene : scenes) {
        html += "<th>" + HtmlText(SceneOf(scene).checkBoxText) + ", fps</th>";
    }
    html += "<th>Score (Korvanes)</th></tr>\n";
    for (const ReportValuesOf& report : configuration.reports) {
        html += "<tr><td>" + HtmlText(merge.reports[static_cast<std::size_t>(report.report)].label) + "</td>";
        for (const int scene : scenes) {
            const auto fps = report.values.sceneFps.find(scene);
            if (fps == report.values.sceneFps.end()) {
                html += "<td class=\"n\">-</td>";
                continue;
            }
            const Spread spread = SpreadOf(fps->second);
            html += framework::Format("<td class=\"n\">%.2f (%s, %zu run%s)</td>", *spread.mean,
                                      Optional(spread.standardDeviation, 2).c_str(), spread.count,
                                      spread.count == 1 ? "" : "s");
        }
        const Spread score = SpreadOf(report.values.scores);
        html += "<td class=\"n\">" + Optional(score.mean, 0) + "</td></tr>\n";
    }
    return html + "</table>\n";
}

std::string AgainstTable(const Merge& merge, const MergedConfiguration& configuration) {
    if (!configuration.referenceHolds) {
        return "<p>The reference does not hold this configuration.</p>\n";
    }
    std::string html = "<table>\n<tr><th>Against " +
                       HtmlText(merge.reports[static_cast<std::size_t>(merge.reference)].label) +
                       "</th><th>Scene</th><th>Runs</th><th>Reference</th><th>Report</th><th>Difference</th>"
                       "<th>95 % interval</th></tr>\n";
    for (const ReportValuesOf& report : configuration.reports) {
        if (report.report == merge.reference) {
            continue;
        }
        const std::string label = HtmlText(merge.reports[static_cast<std::size_t>(report.report)].label);
        for (const SceneComparison& scene : report.scenes) {
            html += "<tr><td>" + label + "</td>" +
                    DifferenceRow(SceneOf(scene.sceneIndex).checkBoxText, scene.difference, 2).substr(4);
        }
        if (report.score) {
            html +=
                "<tr><td>" + label + "</td>" + DifferenceRow("Score (Korvanes)", *report.score, 0).substr(4);
        }
    }
    return html + "</table>\n";
}

} // namespace

std::string MergeHtml(const Merge& merge) {
    std::string body = std::string("<h1>") + kProgramName + " merge</h1>\n";
    // Five columns, so that the table fits a page 800 pixels wide.
    body += "<table>\n<tr><th>Report</th><th>Video card and driver</th><th>Machine</th><th>korvane-cli</th>"
            "<th>Complete</th></tr>\n";
    for (std::size_t i = 0; i < merge.reports.size(); ++i) {
        const MergedReport& report = merge.reports[i];
        body += "<tr><td>" + HtmlText(report.label);
        body += static_cast<int>(i) == merge.reference ? " (reference)" : "";
        body += report.path == report.label ? std::string() : "<br>" + HtmlText(report.path);
        body += "</td><td>" + HtmlText(report.machine.videoCard);
        body += report.adapter
                    ? "<br>" + HtmlText(report.adapter->driver + " " + report.adapter->driverVersion)
                    : std::string();
        body += "</td><td>" + HtmlText(report.machine.processor + ", " + report.machine.frequency) + "<br>" +
                HtmlText(report.machine.ramSize + ", " + report.machine.osName);
        body += "</td><td>" + HtmlText(report.korvaneVersion) + "</td><td>";
        body += report.complete ? std::string("yes")
                                : framework::Format("no: %d of %d scene runs", report.progress.done,
                                                    report.progress.planned);
        body += "</td></tr>\n";
    }
    body += "</table>\n";
    if (!merge.warnings.empty()) {
        body += "<h2>Before reading these figures</h2>\n<ul>\n";
        for (const std::string& warning : merge.warnings) {
            body += "<li>" + HtmlText(warning) + "</li>\n";
        }
        body += "</ul>\n";
    }
    body +=
        "<h2>Ranking by index</h2>\n<p>The index is the geometric mean of a report's ratios to the reference "
        "over the configurations both hold: of the scores, or where either has none, of the scenes' frame "
        "rates. The reference is 100.</p>\n<table>\n<tr><th>Rank</th><th>Report</th><th>Index</th>"
        "<th>Rests on</th></tr>\n";
    int rank = 0;
    for (const IndexEntry& entry : merge.ranking) {
        body += framework::Format(
            "<tr><td class=\"n\">%d</td><td>%s</td><td class=\"n\">%s</td><td>%s</td></tr>\n", ++rank,
            HtmlText(merge.reports[static_cast<std::size_t>(entry.report)].label).c_str(),
            IndexText(entry).c_str(), IndexBasisText(entry).c_str());
    }
    body += "</table>\n";
    for (const MergedConfiguration& configuration : merge.configurations) {
        body += "<h2>" + HtmlText(ConfigurationText(configuration.configuration)) + "</h2>\n";
        body += MergeSceneCharts(merge, configuration) + ValuesTable(merge, configuration) +
                AgainstTable(merge, configuration);
    }
    // Scaling: the resolutions of each renderer and detail, when two or more are held.
    std::vector<bool> placed(merge.configurations.size(), false);
    for (std::size_t i = 0; i < merge.configurations.size(); ++i) {
        std::vector<const MergedConfiguration*> group;
        for (std::size_t j = i; j < merge.configurations.size(); ++j) {
            const Configuration& a = merge.configurations[i].configuration;
            const Configuration& b = merge.configurations[j].configuration;
            if (!placed[j] && a.renderer == b.renderer && a.detail == b.detail) {
                group.push_back(&merge.configurations[j]);
                placed[j] = true;
            }
        }
        if (group.size() < 2) {
            continue;
        }
        std::sort(group.begin(), group.end(), [](const MergedConfiguration* a, const MergedConfiguration* b) {
            const auto& table = bench::ResolutionTable();
            const auto place = [&table](const std::string& resolution) {
                return std::find(table.begin(), table.end(), resolution) - table.begin();
            };
            return place(a->configuration.resolution) < place(b->configuration.resolution);
        });
        const bool scores = AllHaveScores(group);
        const std::string name = ConfigurationText(group.front()->configuration);
        body += "<h2>Scaling: " + HtmlText(name.substr(0, name.rfind(", "))) + "</h2>\n" +
                MergeResolutionChart(merge, group, scores) + "<table>\n<tr><th>Report</th>";
        for (const MergedConfiguration* configuration : group) {
            body += "<th>" + configuration->configuration.resolution + "</th>";
        }
        body += std::string("</tr>\n");
        for (std::size_t r = 0; r < merge.reports.size(); ++r) {
            body += "<tr><td>" + HtmlText(merge.reports[r].label) + "</td>";
            for (const MergedConfiguration* configuration : group) {
                std::optional<double> value;
                for (const ReportValuesOf& report : configuration->reports) {
                    if (report.report == static_cast<int>(r)) {
                        value = scores ? SpreadOf(report.values.scores).mean : MeanFps(report.values);
                    }
                }
                body += "<td class=\"n\">" + Optional(value, scores ? 0 : 2) + "</td>";
            }
            body += "</tr>\n";
        }
        body += std::string("</table>\n<p>") +
                (scores ? "Scores in Korvanes." : "Mean frame rates of the scenes.") + "</p>\n";
    }
    if (merge.differOnlyInClock) {
        std::vector<const MergedConfiguration*> all;
        for (const MergedConfiguration& configuration : merge.configurations) {
            all.push_back(&configuration);
        }
        const bool scores = AllHaveScores(all);
        body +=
            "<h2>Scaling with the processor's clock</h2>\n" + MergeClockChart(merge, Clocks(merge), scores);
        body += std::string("<p>") + (scores ? "Scores in Korvanes" : "Mean frame rates of the scenes") +
                " against each report's clock; every value is in the tables above.</p>\n";
    }
    return Page(std::string(kProgramName) + " merge", body);
}

} // namespace cli
