// korvane-cli's JSON reports read back, of format version 1, 2 or 3: strictly,
// as docs/cli-json-schema.json says, every member's type and range checked, so
// that a report from another machine is either read whole or refused with the
// member that is wrong. Platform-free.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/compare/Comparison.h"
#include "cli/report/CallReport.h"

namespace cli {

// No report comes near these; a larger file is not read into memory, a deeper one not parsed.
constexpr std::size_t kMaxReportBytes = 64u << 20;
constexpr int kMaxReportNesting = 64;

// The report's texts (UTF-8) as the program holds them; none: as they are.
using TextConverter = std::function<std::string(const std::string& text)>;

// What a report file holds.
struct ReportFile {
    int formatVersion = 0;
    // The call it records: its texts through the converter, each configuration's
    // sets replayed from its runs, as the call had them. Versions 1 and 2, which
    // hold no plan, get the one their configurations make; they were written
    // when their call ended, so they are complete.
    CallReport call;
    // Per configuration, the Korvanes of each complete set as the file records them.
    std::vector<std::vector<double>> recordedScores;
};

// The report `text` holds; none, with what is wrong in `problem` ("it is not
// JSON", "its member configurations[0].runs[3].fps is a string, not a number or
// null", ...), when it is no report this program reads.
std::optional<ReportFile> ReadReport(const std::string& text, std::string& problem,
                                     const TextConverter& fromUtf8 = nullptr);

// What compare needs of a report: each configuration's frame rates and the
// Korvanes the file records.
ReportValues ValuesOf(const ReportFile& report);

// ValuesOf the report `text` holds; none, with the problem, as ReadReport.
std::optional<ReportValues> ReadReportValues(const std::string& text, std::string& problem);

} // namespace cli
