// korvane-cli's CSV file. Platform-free.
#pragma once

#include <string>

#include "cli/RunReport.h"

namespace cli {

// A header row and one row per scene run, fields quoted where they must be
// (RFC 4180), rows ended by CR LF.
std::string ReportCsv(const RunReport& report);

// `field` as one CSV field.
std::string CsvField(const std::string& field);

} // namespace cli
