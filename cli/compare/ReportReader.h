// korvane-cli's JSON reports read back: what compare needs of each
// configuration. Platform-free.
#pragma once

#include <optional>
#include <string>

#include "cli/compare/Comparison.h"

namespace cli {

// No report comes near this; a larger file is not read into memory.
constexpr std::size_t kMaxReportBytes = 64u << 20;

// Reads a report of format version 1 (one configuration) or 2; none, with what
// is wrong in `problem`, when `text` is no such report.
std::optional<ReportValues> ReadReportValues(const std::string& text, std::string& problem);

} // namespace cli
