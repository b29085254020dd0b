// The texts and files of a korvane-cli run.
#include "cli/ReportOutput.h"

#include <optional>

#include "bench/BenchOptions.h"
#include "cli/JsonWriter.h"
#include "framework/Format.h"

namespace cli {

namespace {

const bench::SceneRow& Scene(int sceneIndex) {
    return bench::SceneTable()[static_cast<std::size_t>(sceneIndex)];
}

const char* RendererText(bench::Renderer renderer) {
    return renderer == bench::Renderer::OpenGL ? "OpenGL ICD" : "Direct3D 8.1";
}

const char* DetailText(bench::Detail detail) {
    return detail == bench::Detail::High ? "High" : "Low";
}

// A number for the CSV file: as in the JSON report, but an infinity stays empty.
std::string CsvNumber(double value) {
    const std::string number = JsonNumber(value);
    return number == "null" ? std::string() : number;
}

bool LogWasRead(const SceneRunRecord& run) {
    return run.status == RunStatus::Ok || run.status == RunStatus::NoNumber;
}

// m:ss, or h:mm:ss from an hour on.
std::string ClockText(double seconds) {
    const long total = seconds > 0.0 ? static_cast<long>(seconds) : 0L;
    if (total >= 3600) {
        return framework::Format("%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    }
    return framework::Format("%ld:%02ld", total / 60, total % 60);
}

std::string RunOfText(const RunReport& report, const SceneRunRecord& run) {
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
    const std::size_t scenes = ChosenScenes(options).size();
    text += framework::Format(
        "Options:     %s, %s, %s; %zu scene%s, %d run%s each; time-out %d s per scene run\n",
        RendererText(options.renderer), DetailText(options.detail), options.resolutionText.c_str(), scenes,
        scenes == 1 ? "" : "s", options.runs, options.runs == 1 ? "" : "s",
        TimeoutSeconds(options, bench::SceneTable()[0]));
    return text + "\n";
}

std::string ProgressText(const RunReport& report, const SceneRunRecord& run, double totalSeconds) {
    std::string outcome = run.status == RunStatus::Ok ? framework::Format("%.2f fps", run.reading.fps)
                                                      : std::string(FailureWords(run.status));
    std::string text = framework::Format("[%s] %-24s %-18s %7.1f s   %s\n", ClockText(totalSeconds).c_str(),
                                         Scene(run.sceneIndex).checkBoxText, RunOfText(report, run).c_str(),
                                         run.seconds, outcome.c_str());
    if (run.status != RunStatus::Ok) {
        text += Indented(run.message);
    }
    return text;
}

std::string ExtraRunText(const RunReport& report, int sceneIndex) {
    for (const SceneSummary& summary : SummarizeScenes(report)) {
        if (summary.sceneIndex == sceneIndex && summary.fps.variationPercent) {
            return framework::Format("%s varies by %.2f %% over %d results: one more run\n",
                                     Scene(sceneIndex).checkBoxText, *summary.fps.variationPercent,
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
        text += framework::Format("%-24s %4d %7d %9s %8s %10s", Scene(summary.sceneIndex).checkBoxText,
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

std::string ReportJson(const RunReport& report, const Utf8Converter& toUtf8) {
    const auto utf8 = [&toUtf8](const std::string& text) {
        return toUtf8 ? toUtf8(text) : text;
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
    json.Key("formatVersion").Integer(1);
    json.Key("korvaneVersion").String(utf8(report.korvaneVersion));

    json.Key("machine").BeginObject();
    json.Key("processor").String(utf8(report.machine.processor));
    json.Key("frequency").String(utf8(report.machine.frequency));
    json.Key("cache").String(utf8(report.machine.cache));
    json.Key("ramSize").String(utf8(report.machine.ramSize));
    json.Key("osName").String(utf8(report.machine.osName));
    json.Key("videoCard").String(utf8(report.machine.videoCard));
    json.EndObject();

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

    json.Key("game").BeginObject();
    json.Key("folder").String(utf8(report.gameFolder));
    json.Key("executable").String(utf8(report.gameExecutable));
    json.Key("workingDirectory").String(utf8(report.workingDirectory));
    json.Key("log").String(utf8(report.logPath));
    json.EndObject();

    json.Key("composeError").StringOrNull(utf8OrNull(report.composeMessage));

    json.Key("commandLines").BeginArray();
    for (const CommandLineRecord& line : report.commandLines) {
        json.BeginObject();
        json.Key("scene").Integer(line.sceneIndex);
        json.Key("name").String(Scene(line.sceneIndex).checkBoxText);
        json.Key("commandLine").String(utf8(line.commandLine));
        json.EndObject();
    }
    json.EndArray();

    json.Key("runs").BeginArray();
    for (const SceneRunRecord& run : report.runs) {
        const bool read = LogWasRead(run);
        json.BeginObject();
        json.Key("scene").Integer(run.sceneIndex);
        json.Key("name").String(Scene(run.sceneIndex).checkBoxText);
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
        json.Key("name").String(Scene(summary.sceneIndex).checkBoxText);
        json.Key("kind").String(Scene(summary.sceneIndex).isFlyby ? "flyby" : "botmatch");
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
    return json.Text();
}

std::string CsvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string ReportCsv(const RunReport& report) {
    std::string csv =
        "round,attempt,scene,name,status,seconds,fps,min_fps,avg_fps,max_fps,score,rand,last_line,"
        "message\r\n";
    for (const SceneRunRecord& run : report.runs) {
        const bool read = LogWasRead(run);
        const EngineLine* engine = read && run.reading.engine ? &*run.reading.engine : nullptr;
        const std::string fields[] = {
            std::to_string(run.round),
            std::to_string(run.attempt),
            std::to_string(run.sceneIndex),
            Scene(run.sceneIndex).checkBoxText,
            StatusName(run.status),
            framework::Format("%.3f", run.seconds),
            read ? CsvNumber(run.reading.fps) : std::string(),
            engine != nullptr ? CsvNumber(engine->minFps) : std::string(),
            engine != nullptr ? CsvNumber(engine->avgFps) : std::string(),
            engine != nullptr ? CsvNumber(engine->maxFps) : std::string(),
            engine != nullptr ? CsvNumber(engine->score) : std::string(),
            engine != nullptr ? std::to_string(engine->randSeed) : std::string(),
            read ? run.lastLine : std::string(),
            run.message,
        };
        bool first = true;
        for (const std::string& field : fields) {
            csv += (first ? "" : ",") + CsvField(field);
            first = false;
        }
        csv += "\r\n";
    }
    return csv;
}

} // namespace cli
