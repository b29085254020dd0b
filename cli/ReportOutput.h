// What korvane-cli prints and writes: the header, one progress line per scene
// run, the results table, the JSON report (docs/cli-json-schema.md) and the CSV
// rows. Platform-free.
#pragma once

#include <functional>
#include <string>

#include "cli/RunReport.h"

namespace cli {

// The version, the machine facts as the window's panel shows them, and the options.
std::string HeaderText(const RunReport& report);

// One line (and the reason, indented, below a failure) for a finished scene run,
// `totalSeconds` after the start.
std::string ProgressText(const RunReport& report, const SceneRunRecord& run, double totalSeconds);

// The line printed before a scene is run again for its spread.
std::string ExtraRunText(const RunReport& report, int sceneIndex);

// Per scene its runs, mean, standard deviation and variation with notes, then
// the score of each complete set and their mean.
std::string ResultsText(const RunReport& report);

// Turns the program's texts into UTF-8 for the JSON report.
using Utf8Converter = std::function<std::string(const std::string& text)>;

// The whole report as JSON, its texts passed through `toUtf8` when given.
std::string ReportJson(const RunReport& report, const Utf8Converter& toUtf8 = nullptr);

// A header row and one row per scene run, fields quoted where they must be
// (RFC 4180), rows ended by CR LF.
std::string ReportCsv(const RunReport& report);

// `field` as one CSV field.
std::string CsvField(const std::string& field);

} // namespace cli
