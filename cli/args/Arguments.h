// korvane-cli's command line: what each command was asked to do, read from the
// arguments through the option table, and the help and version texts.
// Platform-free.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/report/Plan.h"

namespace cli {

constexpr int kMaxRuns = 100;
constexpr int kMaxTimeoutSeconds = 24 * 60 * 60;

// korvane-cli [options]: a benchmark call.
struct RunOptions {
    RunPlan plan;
    std::string jsonPath; // empty: no JSON report
    std::string csvPath;  // empty: no CSV file
    std::string htmlPath; // empty: no page
    bool quiet = false;
    std::string resumePath; // korvane-cli --resume REPORT.json: the call that report records, continued
};

// korvane-cli compare BASE.json NEW.json [--json FILE] [--html FILE] [--fail-below PERCENT]
struct CompareOptions {
    std::string basePath, newPath;
    std::string jsonPath;     // empty: no JSON file
    std::string htmlPath;     // empty: no page
    std::string markdownPath; // empty: no Markdown table
    std::string bbcodePath;   // empty: no BBCode table
    std::optional<double> failBelowPercent;
};

// korvane-cli merge REPORT.json REPORT.json ... [--label FILE=TEXT]... [--reference LABEL]
//                  [--json FILE] [--csv FILE] [--html FILE] [--markdown FILE] [--bbcode FILE]
struct MergeOptions {
    std::vector<std::string> paths;
    std::vector<std::pair<std::string, std::string>> labels; // report as named, its label
    std::string reference;                                   // a label; empty: the first report
    std::string jsonPath, csvPath, htmlPath, markdownPath, bbcodePath;
};

constexpr std::size_t kMaxMergeReports = 64;

enum class Command { Run, Help, Version, Compare, Resume, Merge };

struct ParsedArguments {
    Command command = Command::Run;
    RunOptions run;
    CompareOptions compare;
    MergeOptions merge;
    std::string error; // empty when the arguments are good
};

// Reads the arguments after the program's name. "--name value" and
// "--name=value" are the same; an option may be given once (--label as often as
// there are reports). A first argument "compare" or "merge" reads that
// command's arguments instead. --resume takes every
// option of the run from its report: beside it only --quiet may be given.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

std::string HelpText();
std::string VersionText(const std::string& korvaneVersion);

} // namespace cli
