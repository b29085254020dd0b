// The SVG charts of korvane-cli's pages. Platform-free.
#pragma once

#include <string>
#include <vector>

#include "cli/compare/Comparison.h"
#include "cli/compare/Merge.h"
#include "cli/report/CallReport.h"

namespace cli {

// One colour per scene, in scene order.
extern const char* const kSceneColours[bench::kSceneCount];

// Frame rate per scene: a bar to the mean, a whisker of one standard deviation
// either side, and a dot per run.
std::string SceneChart(const RunPlan& plan, const ConfigurationReport& report);

// Frame rate against resolution for the configurations of one renderer and
// detail: a line per scene, the resolutions in the order given.
std::string ScalingChart(const std::vector<const ConfigurationReport*>& group);

// Each scene's difference (and the score's) as a bar from zero with its interval.
std::string DifferenceChart(const ConfigurationComparison& configuration);

// Twelve colours that stay apart, one per report of a merge (a chart shows at
// most this many reports; more make more charts).
constexpr std::size_t kReportColourCount = 12;
extern const char* const kReportColours[kReportColourCount];

// A merged configuration's frame rates: a group per scene, a bar per report to
// its mean with a whisker of one standard deviation and a dot per run; a
// legend of the reports' colours. One chart per twelve reports.
std::string MergeSceneCharts(const Merge& merge, const MergedConfiguration& configuration);

// The score (or, `scores` false, the mean frame rate) of each report against
// resolution, a line per report, for configurations of one renderer and detail.
std::string MergeResolutionChart(const Merge& merge, const std::vector<const MergedConfiguration*>& group,
                                 bool scores);

// The score (or the mean frame rate) of each configuration against the reports'
// processor clocks, a line per configuration.
std::string MergeClockChart(const Merge& merge, const std::vector<double>& clocks, bool scores);

} // namespace cli
