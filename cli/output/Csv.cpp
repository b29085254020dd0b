// The CSV file.
#include "cli/output/Csv.h"

#include <charconv>
#include <cmath>

#include "framework/Format.h"

namespace cli {

namespace {

// The fewest digits that read back to the same double; an infinity or NaN stays empty.
std::string CsvNumber(double value) {
    if (!std::isfinite(value)) {
        return std::string();
    }
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// One scene run's fields after its configuration's, ended by CR LF.
std::string RunRow(const SceneAttempt& run) {
    const bool read = LogWasRead(run);
    const EngineLine* engine = read && run.reading.engine ? &*run.reading.engine : nullptr;
    // The numbers as they are; the texts guarded against being read as formulas.
    const std::string fields[] = {
        std::to_string(run.round),
        std::to_string(run.attempt),
        std::to_string(run.sceneIndex),
        CsvText(SceneOf(run.sceneIndex).checkBoxText),
        StatusName(run.status),
        framework::Format("%.3f", run.seconds),
        read ? CsvNumber(run.reading.fps) : std::string(),
        engine != nullptr ? CsvNumber(engine->minFps) : std::string(),
        engine != nullptr ? CsvNumber(engine->avgFps) : std::string(),
        engine != nullptr ? CsvNumber(engine->maxFps) : std::string(),
        engine != nullptr ? CsvNumber(engine->score) : std::string(),
        engine != nullptr ? std::to_string(engine->randSeed) : std::string(),
        read ? CsvText(run.lastLine) : std::string(),
        CsvText(run.message),
    };
    std::string row;
    for (const std::string& field : fields) {
        row += "," + field;
    }
    return row.substr(1) + "\r\n";
}

} // namespace

std::string CsvText(const std::string& text) {
    if (text.empty() || std::string("=+-@\t\r").find(text[0]) == std::string::npos) {
        return CsvField(text);
    }
    std::string quoted = "\"'";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
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

std::string ReportCsv(const CallReport& call) {
    std::string csv =
        "renderer,detail,resolution,round,attempt,scene,name,status,seconds,fps,min_fps,avg_fps,"
        "max_fps,score,rand,last_line,message\r\n";
    for (const ConfigurationReport& report : call.configurations) {
        const std::string configuration = std::string(NamesOf(report.configuration.renderer).name) + "," +
                                          NamesOf(report.configuration.detail).name + "," +
                                          report.configuration.resolution + ",";
        for (const SceneAttempt& run : report.runs) {
            csv += configuration + RunRow(run);
        }
    }
    return csv;
}

std::string MergeCsv(const Merge& merge) {
    std::string csv = "label,renderer,detail,resolution,scene,name,results,mean,std_dev,difference_percent,"
                      "interval_low,interval_high\r\n";
    const auto optional = [](const std::optional<double>& value) {
        return value ? CsvNumber(*value) : std::string();
    };
    for (const MergedConfiguration& configuration : merge.configurations) {
        const std::string names = std::string(NamesOf(configuration.configuration.renderer).name) + "," +
                                  NamesOf(configuration.configuration.detail).name + "," +
                                  configuration.configuration.resolution + ",";
        for (const ReportValuesOf& report : configuration.reports) {
            const std::string label =
                CsvText(merge.reports[static_cast<std::size_t>(report.report)].label) + ",";
            const auto row = [&](const std::string& scene, const std::string& name,
                                 const std::vector<double>& values,
                                 const std::optional<Difference>& difference) {
                const Spread spread = SpreadOf(values);
                csv.append(label).append(names).append(scene).append(",").append(CsvText(name));
                csv.append(",").append(std::to_string(spread.count));
                csv.append(",").append(optional(spread.mean));
                csv.append(",").append(optional(spread.standardDeviation));
                csv.append(",").append(difference ? CsvNumber(difference->percent) : std::string());
                csv.append(",").append(optional(difference ? difference->low : std::nullopt));
                csv.append(",").append(optional(difference ? difference->high : std::nullopt));
                csv.append("\r\n");
            };
            for (const auto& [scene, fps] : report.values.sceneFps) {
                std::optional<Difference> difference;
                for (const SceneComparison& compared : report.scenes) {
                    difference =
                        compared.sceneIndex == scene ? std::optional(compared.difference) : difference;
                }
                row(std::to_string(scene), SceneOf(scene).checkBoxText, fps, difference);
            }
            if (!report.values.scores.empty()) {
                row("score", "Score (Korvanes)", report.values.scores, report.score);
            }
        }
    }
    return csv;
}

} // namespace cli
