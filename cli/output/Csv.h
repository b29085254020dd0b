// korvane-cli's CSV file: a header row, then one row per scene run, lines ended
// by CR LF, texts in the system's code page as spreadsheets on Windows read
// them. Platform-free.
#pragma once

#include <string>

#include "cli/compare/Merge.h"
#include "cli/report/CallReport.h"

namespace cli {

std::string ReportCsv(const CallReport& call);

// A merge: a row per report, merged configuration and scene, and one for its
// score ("score" for the scene): the runs with a result, the mean and its
// standard deviation, and the difference from the reference with its interval.
std::string MergeCsv(const Merge& merge);

// One field: as it is, or quoted (with its quotes doubled) when it holds a
// comma, a quote or a line break.
std::string CsvField(const std::string& field);

// A text field that a spreadsheet must not take for a formula: one that starts
// with =, +, -, @, a tab or a carriage return gets a ' in front and is quoted,
// as OWASP's advice on CSV injection has it; other texts as CsvField.
std::string CsvText(const std::string& text);

} // namespace cli
