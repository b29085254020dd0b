// korvane-cli's JSON report (docs/cli-json-schema.md). Platform-free.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/RunReport.h"

namespace cli {

// Turns the program's texts into UTF-8 for the JSON report.
using Utf8Converter = std::function<std::string(const std::string& text)>;

// `text` through `toUtf8`, or as it is when there is no converter.
inline std::string InUtf8(const Utf8Converter& toUtf8, const std::string& text) {
    return toUtf8 ? toUtf8(text) : text;
}

// A call's reports, one per configuration, as one JSON document: the machine
// and the game once, then each configuration's options, runs and statistics;
// its texts passed through `toUtf8` when given.
std::string ReportJson(const std::vector<RunReport>& reports, const Utf8Converter& toUtf8 = nullptr);

} // namespace cli
