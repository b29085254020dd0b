// korvane-cli's JSON report (docs/cli-json-schema.md). Platform-free.
#pragma once

#include <functional>
#include <string>

#include "cli/RunReport.h"

namespace cli {

// Turns the program's texts into UTF-8 for the JSON report.
using Utf8Converter = std::function<std::string(const std::string& text)>;

// The whole report as JSON, its texts passed through `toUtf8` when given.
std::string ReportJson(const RunReport& report, const Utf8Converter& toUtf8 = nullptr);

} // namespace cli
