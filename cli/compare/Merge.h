// korvane-cli merge: many reports on one page. Each report gets a label made of
// the facts that tell it from the others; every configuration two or more hold
// is set side by side, each report against the reference with Welch's interval
// (compare's rules); an index per report ranks them; and what should be known
// before reading the figures is said in warnings. Platform-free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/compare/Comparison.h"
#include "cli/compare/ReportReader.h"

namespace cli {

constexpr std::size_t kMaxMergedReports = 64;

// One report given to merge.
struct MergeInput {
    std::string path;  // as given
    std::string label; // from --label FILE=TEXT; empty: made from the facts
    std::uint64_t contentHash = 0;
    int sameFileAs = -1; // the index of an earlier input naming the same file, or -1
    ReportFile report;
};

// A report as merge shows it.
struct MergedReport {
    std::string label;
    std::string path;
    std::string korvaneVersion;
    sysinfo::MachineTexts machine;
    std::optional<sysinfo::AdapterIdentity> adapter;
    RunPlan plan;
    bool complete = true;
    Progress progress;
};

// One report's values of one configuration, and how they stand against the
// reference's (none for the reference itself, or when it does not hold it).
struct ReportValuesOf {
    int report = 0;
    ConfigurationValues values;
    std::vector<SceneComparison> scenes;
    std::optional<Difference> score;
};

struct MergedConfiguration {
    Configuration configuration;
    std::vector<ReportValuesOf> reports; // in the reports' order; at least two
    bool referenceHolds = false;
};

// A report's index: the geometric mean of its ratios to the reference over the
// configurations both hold, times 100 (the score's ratio, or where either has
// no score, the mean of the scenes' ratios).
struct IndexEntry {
    int report = 0;
    std::optional<double> index; // none when it shares no configuration with the reference
    int configurations = 0;      // how many the index rests on
    bool fromScenes = false;     // one of them had no score on either side
};

struct Merge {
    std::vector<MergedReport> reports;
    int reference = 0;
    std::vector<MergedConfiguration> configurations; // in the order the reports hold them
    std::vector<IndexEntry> ranking;                 // highest index first, those without one last
    std::vector<std::string> warnings;
    bool differOnlyInClock = false; // the reports' facts differ in the processor's clock alone
};

// The facts a label is made of, in the order they are joined: video card,
// driver version, processor, clock in whole MHz, RAM, OS and options.
std::vector<std::string> LabelFacts(const MergedReport& report);

// The merge of `inputs` (2 to kMaxMergedReports), against the report labelled
// `referenceLabel` (the first when empty); none, with the problem, when a label
// given names no report, the reference names none, or the reports share no
// configuration.
std::optional<Merge> MergeReports(const std::vector<MergeInput>& inputs, const std::string& referenceLabel,
                                  std::string& problem);

// The scenes any report holds in a merged configuration, in scene order.
std::vector<int> ScenesOf(const MergedConfiguration& configuration);

// The configuration's mean frame rate of a report: the mean of its scenes' means.
std::optional<double> MeanFps(const ConfigurationValues& values);

// A 64-bit FNV-1a hash of a report's bytes, to find the same report given twice.
std::uint64_t ContentHash(const std::string& text);

} // namespace cli
