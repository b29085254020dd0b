// korvane-cli's JSON files: the run report and the comparison
// (docs/cli-json-schema.md), written with nlohmann-json. Platform-free.
#pragma once

#include <optional>
#include <string>

#include "cli/compare/Comparison.h"
#include "cli/compare/Merge.h"
#include "cli/output/Utf8.h"
#include "cli/report/CallReport.h"

namespace cli {

// The report's format version: 3 records the plan, whether the call is
// complete and how far it is, and the files it writes.
constexpr int kReportFormatVersion = 3;

// A call as one JSON document: the machine, the game and the plan once, then
// each configuration's options, runs and statistics; its texts passed through
// `toUtf8` when given. Indented by two blanks, ended by a line break.
std::string ReportJson(const CallReport& call, const Utf8Converter& toUtf8 = nullptr);

// The comparison; the report paths, in the system's code page, as `toUtf8` makes them UTF-8.
std::string CompareJson(const Comparison& comparison, const std::string& basePath, const std::string& newPath,
                        std::optional<double> failBelowPercent, const Utf8Converter& toUtf8 = nullptr);

// The merge (docs/cli-merge-schema.json): the reports with their labels, facts
// and index, the ranking, each merged configuration's values and differences,
// and the warnings; its texts as they are (the reports' UTF-8).
std::string MergeJson(const Merge& merge);

} // namespace cli
