// korvane-cli's JSON report (docs/cli-json-schema.md).
#include "cli/ReportJson.h"

#include <optional>
#include <vector>

#include "bench/BenchOptions.h"
#include "cli/JsonWriter.h"

namespace cli {

std::string ReportJson(const std::vector<RunReport>& reports, const Utf8Converter& toUtf8) {
    const RunReport none;
    const RunReport& first = reports.empty() ? none : reports.front();
    const auto utf8 = [&toUtf8](const std::string& text) {
        return InUtf8(toUtf8, text);
    };
    // A text that may be empty: null then.
    const auto utf8OrNull = [&utf8](const std::string& text) {
        return text.empty() ? std::nullopt : std::optional<std::string>(utf8(text));
    };
    const auto spread = [](JsonWriter& json, const Spread& values) {
        json.BeginObject();
        json.Key("count").Integer(static_cast<long long>(values.count));
        json.Key("mean").NumberOrNull(values.mean);
        json.Key("standardDeviation").NumberOrNull(values.standardDeviation);
        json.Key("variationPercent").NumberOrNull(values.variationPercent);
        json.EndObject();
    };

    JsonWriter json;
    json.BeginObject();
    json.Key("format").String("korvane-cli report");
    json.Key("formatVersion").Integer(2);
    json.Key("korvaneVersion").String(utf8(first.korvaneVersion));

    json.Key("machine").BeginObject();
    json.Key("processor").String(utf8(first.machine.processor));
    json.Key("frequency").String(utf8(first.machine.frequency));
    json.Key("cache").String(utf8(first.machine.cache));
    json.Key("ramSize").String(utf8(first.machine.ramSize));
    json.Key("osName").String(utf8(first.machine.osName));
    json.Key("videoCard").String(utf8(first.machine.videoCard));
    json.EndObject();

    json.Key("game").BeginObject();
    json.Key("folder").String(utf8(first.gameFolder));
    json.Key("executable").String(utf8(first.gameExecutable));
    json.Key("workingDirectory").String(utf8(first.workingDirectory));
    json.Key("log").String(utf8(first.logPath));
    json.EndObject();

    json.Key("configurations").BeginArray();
    for (const RunReport& report : reports) {
        json.BeginObject();
        const CliOptions& options = report.options;
        json.Key("options").BeginObject();
        json.Key("renderer").String(RendererArgumentName(options.renderer));
        json.Key("detail").String(DetailArgumentName(options.detail));
        json.Key("resolution").String(options.resolutionText);
        json.Key("scenes").BeginArray();
        for (const int scene : ChosenScenes(options)) {
            json.Integer(scene);
        }
        json.EndArray();
        json.Key("runs").Integer(options.runs);
        json.Key("timeoutSeconds").Integer(TimeoutSeconds(options, bench::SceneTable()[0]));
        json.Key("maxVariationPercent").Number(kMaxVariationPercent);
        json.EndObject();

        json.Key("composeError").StringOrNull(utf8OrNull(report.composeMessage));

        json.Key("commandLines").BeginArray();
        for (const CommandLineRecord& line : report.commandLines) {
            json.BeginObject();
            json.Key("scene").Integer(line.sceneIndex);
            json.Key("name").String(SceneOf(line.sceneIndex).checkBoxText);
            json.Key("commandLine").String(utf8(line.commandLine));
            json.EndObject();
        }
        json.EndArray();

        json.Key("runs").BeginArray();
        for (const SceneAttempt& run : report.runs) {
            const bool read = LogWasRead(run);
            json.BeginObject();
            json.Key("scene").Integer(run.sceneIndex);
            json.Key("name").String(SceneOf(run.sceneIndex).checkBoxText);
            json.Key("round").Integer(run.round);
            json.Key("attempt").Integer(run.attempt);
            json.Key("status").String(StatusName(run.status));
            json.Key("seconds").Number(run.seconds);
            json.Key("fps").NumberOrNull(read ? std::optional<double>(run.reading.fps) : std::nullopt);
            json.Key("lastLine")
                .StringOrNull(read ? std::optional<std::string>(utf8(run.lastLine)) : std::nullopt);
            json.Key("engineLine");
            if (read && run.reading.engine) {
                const EngineLine& engine = *run.reading.engine;
                json.BeginObject();
                json.Key("minFps").Number(engine.minFps);
                json.Key("avgFps").Number(engine.avgFps);
                json.Key("maxFps").Number(engine.maxFps);
                json.Key("score").Number(engine.score);
                json.Key("rand").Integer(engine.randSeed);
                json.EndObject();
            } else {
                json.Null();
            }
            json.Key("message").StringOrNull(utf8OrNull(run.message));
            json.EndObject();
        }
        json.EndArray();

        json.Key("scenes").BeginArray();
        for (const SceneSummary& summary : SummarizeScenes(report)) {
            json.BeginObject();
            json.Key("scene").Integer(summary.sceneIndex);
            json.Key("name").String(SceneOf(summary.sceneIndex).checkBoxText);
            json.Key("kind").String(SceneOf(summary.sceneIndex).isFlyby ? "flyby" : "botmatch");
            json.Key("runs").Integer(summary.runs);
            json.Key("results").Integer(summary.results);
            spread(json.Key("fps"), summary.fps);
            json.Key("extraRuns").Bool(summary.extraRuns);
            json.Key("stillVaries").Bool(summary.stillVaries);
            json.Key("randSeedsDiffer").BoolOrNull(summary.seedsDiffer);
            json.EndObject();
        }
        json.EndArray();

        const ScoreSummary score = SummarizeScore(report);
        json.Key("score").BeginObject();
        json.Key("sets").BeginArray();
        for (const SetScore& set : score.sets) {
            json.BeginObject();
            json.Key("round").Integer(set.round);
            json.Key("korvanes").Number(set.score);
            json.Key("flybyAverage").Number(set.flybyAverage);
            json.Key("botmatchAverage").Number(set.botmatchAverage);
            json.EndObject();
        }
        json.EndArray();
        spread(json.Key("korvanes"), score.score);
        spread(json.Key("flybyAverage"), score.flybyAverage);
        spread(json.Key("botmatchAverage"), score.botmatchAverage);
        json.EndObject();

        json.Key("stopped").Bool(report.stopped);
        json.Key("exitStatus").Integer(ExitStatus(report));
        json.EndObject();
    }
    json.EndArray();

    bool stopped = false;
    for (const RunReport& report : reports) {
        stopped = stopped || report.stopped;
    }
    json.Key("stopped").Bool(stopped);
    json.Key("exitStatus").Integer(ExitStatus(reports));
    json.EndObject();
    return json.Text();
}

} // namespace cli
