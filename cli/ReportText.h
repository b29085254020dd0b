// What korvane-cli prints: the header, one progress line per scene run and the
// results table. Platform-free.
#pragma once

#include <string>

#include "cli/RunReport.h"

namespace cli {

// The version, the machine facts as the window's panel shows them, and the options.
std::string HeaderText(const RunReport& report);

// One line (and the reason, indented, below a failure) for a finished scene run,
// `totalSeconds` after the start.
std::string ProgressText(const RunReport& report, const SceneAttempt& run, double totalSeconds);

// The line printed before a scene is run again for its spread.
std::string ExtraRunText(const RunReport& report, int sceneIndex);

// Per scene its runs, mean, standard deviation and variation with notes, then
// the score of each complete set and their mean.
std::string ResultsText(const RunReport& report);

} // namespace cli
