// The JSON report and the comparison.
#include "cli/output/Json.h"

#include "cli/output/Text.h"

#include <algorithm>

#include <nlohmann/json.hpp>

namespace cli {

namespace {

using Json = nlohmann::ordered_json;

// A text for the document: UTF-8 that the writer takes whatever the bytes were.
Json Text(const Utf8Converter& toUtf8, const std::string& text) {
    return WellFormedUtf8(InUtf8(toUtf8, text));
}

// A text that may be empty: null then.
Json TextOrNull(const Utf8Converter& toUtf8, const std::string& text) {
    return text.empty() ? Json() : Text(toUtf8, text);
}

template <typename Value> Json ValueOrNull(const std::optional<Value>& value) {
    return value ? Json(*value) : Json();
}

// A statistics object; the comparison's sides have no variation.
Json SpreadJson(const Spread& values, bool withVariation = true) {
    Json json = Json::object();
    json["count"] = values.count;
    json["mean"] = ValueOrNull(values.mean);
    json["standardDeviation"] = ValueOrNull(values.standardDeviation);
    if (withVariation) {
        json["variationPercent"] = ValueOrNull(values.variationPercent);
    }
    return json;
}

Json RunJson(const SceneAttempt& run, const Utf8Converter& toUtf8) {
    const bool read = LogWasRead(run);
    Json json = Json::object();
    json["scene"] = run.sceneIndex;
    json["name"] = SceneOf(run.sceneIndex).checkBoxText;
    json["round"] = run.round;
    json["attempt"] = run.attempt;
    json["status"] = StatusName(run.status);
    json["seconds"] = run.seconds;
    json["fps"] = read ? Json(run.reading.fps) : Json();
    json["lastLine"] = read ? Text(toUtf8, run.lastLine) : Json();
    json["engineLine"] = Json();
    if (read && run.reading.engine) {
        const EngineLine& engine = *run.reading.engine;
        json["engineLine"] = {{"minFps", engine.minFps},
                              {"avgFps", engine.avgFps},
                              {"maxFps", engine.maxFps},
                              {"score", engine.score},
                              {"rand", engine.randSeed}};
    }
    json["message"] = TextOrNull(toUtf8, run.message);
    return json;
}

// The renderer, detail and resolution, which begin every configuration's object.
Json ConfigurationNames(const Configuration& configuration) {
    return {{"renderer", NamesOf(configuration.renderer).name},
            {"detail", NamesOf(configuration.detail).name},
            {"resolution", configuration.resolution}};
}

Json ConfigurationJson(const RunPlan& plan, const ConfigurationReport& report, const Utf8Converter& toUtf8) {
    Json json = Json::object();
    Json& options = json["options"] = ConfigurationNames(report.configuration);
    options["scenes"] = ChosenScenes(plan);
    options["runs"] = plan.runs;
    options["timeoutSeconds"] = LongestTimeoutSeconds(plan);
    options["maxVariationPercent"] = plan.maxVariationPercent;

    json["composeError"] = TextOrNull(toUtf8, report.composeMessage);
    Json& lines = json["commandLines"] = Json::array();
    for (const CommandLineRecord& line : report.commandLines) {
        lines.push_back({{"scene", line.sceneIndex},
                         {"name", SceneOf(line.sceneIndex).checkBoxText},
                         {"commandLine", Text(toUtf8, line.commandLine)}});
    }
    Json& runs = json["runs"] = Json::array();
    for (const SceneAttempt& run : report.runs) {
        runs.push_back(RunJson(run, toUtf8));
    }
    Json& scenes = json["scenes"] = Json::array();
    for (const SceneSummary& summary : SummarizeScenes(plan, report)) {
        const bench::SceneRow& scene = SceneOf(summary.sceneIndex);
        scenes.push_back({{"scene", summary.sceneIndex},
                          {"name", scene.checkBoxText},
                          {"kind", scene.isFlyby ? "flyby" : "botmatch"},
                          {"runs", summary.runs},
                          {"results", summary.results},
                          {"fps", SpreadJson(summary.fps)},
                          {"extraRuns", summary.extraRuns},
                          {"stillVaries", summary.stillVaries},
                          {"randSeedsDiffer", ValueOrNull(summary.seedsDiffer)}});
    }
    const ScoreSummary score = SummarizeScore(report);
    Json& scoreJson = json["score"] = Json::object();
    Json& sets = scoreJson["sets"] = Json::array();
    for (const SetScore& set : score.sets) {
        sets.push_back({{"round", set.round},
                        {"korvanes", set.score},
                        {"flybyAverage", set.flybyAverage},
                        {"botmatchAverage", set.botmatchAverage}});
    }
    scoreJson["korvanes"] = SpreadJson(score.score);
    scoreJson["flybyAverage"] = SpreadJson(score.flybyAverage);
    scoreJson["botmatchAverage"] = SpreadJson(score.botmatchAverage);
    json["stopped"] = report.stopped;
    json["exitStatus"] = ExitStatus(report);
    return json;
}

Json DifferenceJson(const Difference& difference) {
    Json json = Json::object();
    json["base"] = SpreadJson(difference.base, false);
    json["new"] = SpreadJson(difference.newer, false);
    json["percent"] = difference.percent;
    json["interval"] = Json();
    if (difference.low) {
        json["interval"] = {{"low", *difference.low},
                            {"high", *difference.high},
                            {"degreesOfFreedom", *difference.degreesOfFreedom}};
    }
    json["noInterval"] = difference.noInterval != nullptr ? Json(difference.noInterval) : Json();
    return json;
}

// The document as the files hold it.
std::string Dumped(const Json& json) {
    return json.dump(2) + "\n";
}

Json PlanJson(const RunPlan& plan) {
    Json json = Json::object();
    Json& renderers = json["renderers"] = Json::array();
    for (const bench::Renderer renderer : plan.renderers) {
        renderers.push_back(NamesOf(renderer).name);
    }
    Json& details = json["details"] = Json::array();
    for (const bench::Detail detail : plan.details) {
        details.push_back(NamesOf(detail).name);
    }
    json["resolutions"] = plan.resolutions;
    json["scenes"] = ChosenScenes(plan);
    json["runs"] = plan.runs;
    json["timeoutSeconds"] = ValueOrNull(plan.timeoutSeconds);
    json["maxVariationPercent"] = plan.maxVariationPercent;
    return json;
}

} // namespace

std::string ReportJson(const CallReport& call, const Utf8Converter& toUtf8) {
    Json json = Json::object();
    json["format"] = "korvane-cli report";
    json["formatVersion"] = kReportFormatVersion;
    json["korvaneVersion"] = Text(toUtf8, call.korvaneVersion);
    json["startedAt"] = Text(toUtf8, call.startedAt);
    json["complete"] = call.complete;
    const Progress progress = ProgressOf(call);
    json["progress"] = {{"done", progress.done}, {"planned", progress.planned}};
    json["machine"] = {{"processor", Text(toUtf8, call.machine.processor)},
                       {"frequency", Text(toUtf8, call.machine.frequency)},
                       {"cache", Text(toUtf8, call.machine.cache)},
                       {"ramSize", Text(toUtf8, call.machine.ramSize)},
                       {"osName", Text(toUtf8, call.machine.osName)},
                       {"videoCard", Text(toUtf8, call.machine.videoCard)}};
    json["adapter"] = Json();
    if (call.adapter) {
        const sysinfo::AdapterIdentity& adapter = *call.adapter;
        json["adapter"] = {{"driver", Text(toUtf8, adapter.driver)},
                           {"driverVersion", Text(toUtf8, adapter.driverVersion)},
                           {"vendorId", HexText(adapter.vendorId, 4)},
                           {"deviceId", HexText(adapter.deviceId, 4)},
                           {"subsystemId", HexText(adapter.subsystemId, 8)},
                           {"revision", adapter.revision}};
    }
    json["game"] = {{"folder", Text(toUtf8, call.game.folder)},
                    {"executable", Text(toUtf8, call.game.executable)},
                    {"workingDirectory", Text(toUtf8, call.game.workingDirectory)},
                    {"log", Text(toUtf8, call.game.logPath)}};
    json["plan"] = PlanJson(call.plan);
    json["files"] = {{"csv", TextOrNull(toUtf8, call.files.csv)},
                     {"html", TextOrNull(toUtf8, call.files.html)}};
    Json& configurations = json["configurations"] = Json::array();
    for (const ConfigurationReport& report : call.configurations) {
        configurations.push_back(ConfigurationJson(call.plan, report, toUtf8));
    }
    json["stopped"] = Stopped(call);
    json["exitStatus"] = ExitStatus(call);
    return Dumped(json);
}

std::string CompareJson(const Comparison& comparison, const std::string& basePath, const std::string& newPath,
                        std::optional<double> failBelowPercent, const Utf8Converter& toUtf8) {
    Json json = Json::object();
    json["format"] = "korvane-cli comparison";
    json["formatVersion"] = 1;
    json["base"] = Text(toUtf8, basePath);
    json["new"] = Text(toUtf8, newPath);
    Json& configurations = json["configurations"] = Json::array();
    for (const ConfigurationComparison& configuration : comparison.configurations) {
        Json entry = ConfigurationNames(configuration.configuration);
        Json& scenes = entry["scenes"] = Json::array();
        for (const SceneComparison& scene : configuration.scenes) {
            scenes.push_back({{"scene", scene.sceneIndex},
                              {"name", SceneOf(scene.sceneIndex).checkBoxText},
                              {"fps", DifferenceJson(scene.difference)}});
        }
        entry["korvanes"] = configuration.score ? DifferenceJson(*configuration.score) : Json();
        entry["verdict"] = VerdictName(configuration.verdict);
        configurations.push_back(entry);
    }
    json["onlyInBase"] = comparison.onlyInBase;
    json["onlyInNew"] = comparison.onlyInNew;
    json["failBelowPercent"] = ValueOrNull(failBelowPercent);
    json["exitStatus"] = CompareExitStatus(comparison, failBelowPercent);
    return Dumped(json);
}

std::string MergeJson(const Merge& merge) {
    Json json = Json::object();
    json["format"] = "korvane-cli merge";
    json["formatVersion"] = 1;
    json["reference"] = WellFormedUtf8(merge.reports[static_cast<std::size_t>(merge.reference)].label);
    Json& reports = json["reports"] = Json::array();
    for (std::size_t i = 0; i < merge.reports.size(); ++i) {
        const MergedReport& report = merge.reports[i];
        const IndexEntry& index =
            *std::find_if(merge.ranking.begin(), merge.ranking.end(),
                          [i](const IndexEntry& entry) { return entry.report == static_cast<int>(i); });
        Json entry = Json::object();
        entry["label"] = WellFormedUtf8(report.label);
        entry["path"] = WellFormedUtf8(report.path);
        entry["korvaneVersion"] = WellFormedUtf8(report.korvaneVersion);
        entry["complete"] = report.complete;
        entry["machine"] = {{"processor", WellFormedUtf8(report.machine.processor)},
                            {"frequency", WellFormedUtf8(report.machine.frequency)},
                            {"cache", WellFormedUtf8(report.machine.cache)},
                            {"ramSize", WellFormedUtf8(report.machine.ramSize)},
                            {"osName", WellFormedUtf8(report.machine.osName)},
                            {"videoCard", WellFormedUtf8(report.machine.videoCard)}};
        entry["driverVersion"] =
            report.adapter ? Json(WellFormedUtf8(report.adapter->driverVersion)) : Json();
        entry["index"] = ValueOrNull(index.index);
        entry["indexConfigurations"] = index.configurations;
        entry["indexFromScenes"] = index.fromScenes;
        reports.push_back(entry);
    }
    Json& ranking = json["ranking"] = Json::array();
    for (const IndexEntry& entry : merge.ranking) {
        ranking.push_back(WellFormedUtf8(merge.reports[static_cast<std::size_t>(entry.report)].label));
    }
    Json& configurations = json["configurations"] = Json::array();
    for (const MergedConfiguration& configuration : merge.configurations) {
        Json entry = ConfigurationNames(configuration.configuration);
        entry["referenceHolds"] = configuration.referenceHolds;
        Json& held = entry["reports"] = Json::array();
        for (const ReportValuesOf& report : configuration.reports) {
            Json values = Json::object();
            values["label"] = WellFormedUtf8(merge.reports[static_cast<std::size_t>(report.report)].label);
            Json& scenes = values["scenes"] = Json::array();
            for (const auto& [scene, fps] : report.values.sceneFps) {
                Json sceneValues = {{"scene", scene},
                                    {"name", SceneOf(scene).checkBoxText},
                                    {"fps", SpreadJson(SpreadOf(fps))},
                                    {"values", fps}};
                for (const SceneComparison& difference : report.scenes) {
                    if (difference.sceneIndex == scene) {
                        sceneValues["difference"] = DifferenceJson(difference.difference);
                    }
                }
                if (!sceneValues.contains("difference")) {
                    sceneValues["difference"] = Json();
                }
                scenes.push_back(sceneValues);
            }
            values["korvanes"] = SpreadJson(SpreadOf(report.values.scores));
            values["difference"] = report.score ? DifferenceJson(*report.score) : Json();
            held.push_back(values);
        }
        configurations.push_back(entry);
    }
    Json& warnings = json["warnings"] = Json::array();
    for (const std::string& warning : merge.warnings) {
        warnings.push_back(WellFormedUtf8(warning));
    }
    return Dumped(json);
}

} // namespace cli
