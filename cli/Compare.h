// korvane-cli compare: two JSON reports read back, and for every configuration
// and scene both hold the two means, the difference in percent and its 95 %
// confidence interval (Welch's t-interval from the runs), the same for the score,
// and a verdict per configuration. Platform-free.
#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"
#include "cli/CliArguments.h"
#include "cli/ReportJson.h"
#include "cli/RunStatistics.h"

namespace cli {

// What a comparison needs of one configuration of a report.
struct ConfigurationValues {
    bench::Renderer renderer = bench::Renderer::Direct3D;
    bench::Detail detail = bench::Detail::High;
    std::string resolution;
    std::map<int, std::vector<double>> sceneFps; // the frame rates of the runs that gave one, by scene
    std::vector<double> scores;                  // the Korvanes of each complete set
};

struct ReportValues {
    std::vector<ConfigurationValues> configurations;
};

// Reads a report of format version 1 (one configuration) or 2; none, with what
// is wrong in `problem`, when `text` is no such report.
std::optional<ReportValues> ReadReportValues(const std::string& text, std::string& problem);

// The difference of two sets of values, new against base.
struct Difference {
    Spread base, now;
    double percent = 0.0; // (new mean - base mean) / base mean * 100
    // The 95 % interval of `percent`: Welch's interval of the difference of the
    // means, over the base mean. None when either side has one value, or
    // neither has any spread; `noInterval` says which.
    std::optional<double> low, high, degreesOfFreedom;
    const char* noInterval = nullptr;
};

// Welch-Satterthwaite degrees of freedom of two samples with these variances
// (of the values, n - 1) and sizes; both sizes at least 2, the variances not both 0.
double WelchDegreesOfFreedom(double baseVariance, std::size_t baseCount, double newVariance,
                             std::size_t newCount);

// The t value that leaves 2.5 % above it, for `degreesOfFreedom` (above 0).
double StudentT975(double degreesOfFreedom);

// None when either side has no value or the base mean is 0.
std::optional<Difference> CompareValues(const std::vector<double>& base, const std::vector<double>& now);

enum class Verdict { Faster, Slower, NoDifference };

struct SceneComparison {
    int sceneIndex = 0;
    Difference difference;
};

struct ConfigurationComparison {
    bench::Renderer renderer = bench::Renderer::Direct3D;
    bench::Detail detail = bench::Detail::High;
    std::string resolution;
    std::vector<SceneComparison> scenes; // scene order
    std::optional<Difference> score;     // when both reports have complete sets
    // From the score's interval when there is a score, else from the scenes':
    // faster or slower when one lies wholly above or below zero and none the other way.
    Verdict verdict = Verdict::NoDifference;
};

struct Comparison {
    std::vector<ConfigurationComparison> configurations; // in the base report's order
    std::vector<std::string> onlyInBase, onlyInNew;      // configurations as "Direct3D 8.1, High, 640x480"
};

Comparison CompareReports(const ReportValues& base, const ReportValues& now);

// "faster", "slower" or "no difference that these runs can show".
const char* VerdictText(Verdict verdict);

// "-5.44 % to -3.14 %", or "none: " and why there is no interval.
std::string IntervalText(const Difference& difference);

// The configuration as the window names its options.
std::string ConfigurationText(const ConfigurationComparison& configuration);

// True when `difference` is lower by more than `percent` and its interval lies wholly below zero.
bool FallsBelow(const Difference& difference, double percent);

// 4 (kExitSlower) when `failBelowPercent` is given and the new score of some
// configuration falls below it, or, for a configuration without a score, the
// mean of some scene; 0 otherwise.
int CompareExitStatus(const Comparison& comparison, std::optional<double> failBelowPercent);

// The console text of a comparison of `basePath` with `newPath`.
std::string CompareText(const Comparison& comparison, const std::string& basePath,
                        const std::string& newPath);

// The comparison as JSON (docs/cli-json-schema.md); the report paths, in the
// system's code page, as `toUtf8` makes them UTF-8 (none: the writer's own rule).
std::string CompareJson(const Comparison& comparison, const std::string& basePath, const std::string& newPath,
                        std::optional<double> failBelowPercent, const Utf8Converter& toUtf8 = nullptr);

// korvane-cli compare: reads both reports, prints the comparison on `out` and
// any problem on `errors`, writes the --json and --html files (their paths made
// UTF-8 by `toUtf8`); returns the exit status.
int RunCompare(const CompareOptions& options, std::ostream& out, std::ostream& errors,
               const Utf8Converter& toUtf8 = nullptr);

} // namespace cli
