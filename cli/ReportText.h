// What korvane-cli prints: the header, one progress line per scene run and the
// results table. Platform-free.
#pragma once

#include <string>

#include "cli/RunReport.h"

namespace cli {

// One configuration as the window names its options: "Direct3D 8.1, High, 640x480".
std::string ConfigurationText(const CliOptions& options);
std::string ConfigurationText(bench::Renderer renderer, bench::Detail detail, const std::string& resolution);

// The version, the machine facts as the window's panel shows them, and the
// options; for several configurations, the values of each option group.
std::string HeaderText(const RunReport& report);

// One line (and the reason, indented, below a failure) for a finished scene run,
// `totalSeconds` after the start; with `namesConfiguration`, its configuration
// follows the time.
std::string ProgressText(const RunReport& report, const SceneAttempt& run, double totalSeconds,
                         bool namesConfiguration = false);

// The line printed before a scene is run again for its spread.
std::string ExtraRunText(const RunReport& report, int sceneIndex);

// Per scene its runs, mean, standard deviation and variation with notes, then
// the score of each complete set and their mean.
std::string ResultsText(const RunReport& report);

// The results of every configuration, each under its name; of one, as above.
std::string ResultsText(const std::vector<RunReport>& reports);

} // namespace cli
