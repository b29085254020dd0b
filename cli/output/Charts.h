// The SVG charts of korvane-cli's pages. Platform-free.
#pragma once

#include <string>
#include <vector>

#include "cli/compare/Comparison.h"
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

} // namespace cli
