// korvane-cli's CSV file. Platform-free.
#pragma once

#include <string>
#include <vector>

#include "cli/RunReport.h"

namespace cli {

// A header row and one row per scene run of every configuration, each row
// naming its configuration first; fields quoted where they must be (RFC 4180),
// rows ended by CR LF.
std::string ReportCsv(const std::vector<RunReport>& reports);

// `field` as one CSV field.
std::string CsvField(const std::string& field);

} // namespace cli
