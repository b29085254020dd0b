// korvane-cli's pages (--html FILE): one self-contained file with no script and
// nothing fetched from elsewhere. Charts are inline SVG; every number is also in
// a table, for browsers that draw no SVG (Internet Explorer 6). Platform-free.
#pragma once

#include <optional>
#include <string>

#include "cli/compare/Comparison.h"
#include "cli/compare/Merge.h"
#include "cli/output/Utf8.h"
#include "cli/report/CallReport.h"

namespace cli {

// A call's page: the machine facts and the options as the window shows them; per
// configuration a chart of each scene's frame rate with the spread of its runs
// and the table of the console; a scaling chart (frame rate against resolution,
// a line per scene) for each renderer and detail swept over resolutions.
// While the call is not complete, the page says so, with how many scene runs
// are done of how many and, when there is one, the estimate of the time left.
std::string ReportHtml(const CallReport& call, const Utf8Converter& toUtf8 = nullptr,
                       std::optional<double> secondsLeft = std::nullopt);

// A comparison's page: per configuration a chart of each scene's difference
// (and the score's) with its interval, and the table of the console.
std::string CompareHtml(const Comparison& comparison, const std::string& basePath, const std::string& newPath,
                        const Utf8Converter& toUtf8 = nullptr);

// A merge's page: the reports with their facts, what to know first, the
// ranking by index, per configuration a chart and the tables of every report
// and of each against the reference, and the scaling charts (by resolution;
// by clock when the reports differ in that alone). Its texts are UTF-8 already.
std::string MergeHtml(const Merge& merge);

// `text` with &, <, > and " written as character references.
std::string HtmlText(const std::string& text);

} // namespace cli
