// korvane-cli's CSV file: one row per scene run.
#include "cli/ReportCsv.h"

#include "cli/JsonWriter.h"
#include "framework/Format.h"

namespace cli {

namespace {

// A number for the CSV file: as in the JSON report, but an infinity stays empty.
std::string CsvNumber(double value) {
    const std::string number = JsonNumber(value);
    return number == "null" ? std::string() : number;
}

// One scene run's fields after its configuration's, ended by CR LF.
std::string RunRow(const SceneAttempt& run) {
    const bool read = LogWasRead(run);
    const EngineLine* engine = read && run.reading.engine ? &*run.reading.engine : nullptr;
    const std::string fields[] = {
        std::to_string(run.round),
        std::to_string(run.attempt),
        std::to_string(run.sceneIndex),
        SceneOf(run.sceneIndex).checkBoxText,
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
    std::string row;
    for (const std::string& field : fields) {
        row += "," + CsvField(field);
    }
    return row.substr(1) + "\r\n";
}

} // namespace

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

std::string ReportCsv(const std::vector<RunReport>& reports) {
    std::string csv =
        "renderer,detail,resolution,round,attempt,scene,name,status,seconds,fps,min_fps,avg_fps,"
        "max_fps,score,rand,last_line,message\r\n";
    for (const RunReport& report : reports) {
        const CliOptions& options = report.options;
        const std::string configuration = std::string(RendererArgumentName(options.renderer)) + "," +
                                          DetailArgumentName(options.detail) + "," + options.resolutionText +
                                          ",";
        for (const SceneAttempt& run : report.runs) {
            csv += configuration + RunRow(run);
        }
    }
    return csv;
}

} // namespace cli
