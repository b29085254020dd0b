// What korvane-cli prints: for a call, the header, one progress line per scene
// run and the results; for compare, the comparison. Platform-free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/compare/Comparison.h"
#include "cli/compare/Merge.h"
#include "cli/report/CallReport.h"

namespace cli {

// The version, the machine facts as the window's panel shows them, and the
// plan; for several configurations, the values of each option group.
std::string HeaderText(const CallReport& call);

// One line (and the reason, indented, below a failure) for a finished scene run
// of `report`, `totalSeconds` after the start; in a sweep, its configuration
// follows the time. The line ends with the call's position ("37 of 288") and,
// when there is one, the estimate of the time left.
std::string ProgressText(const CallReport& call, const ConfigurationReport& report, const SceneAttempt& run,
                         double totalSeconds, std::optional<double> secondsLeft = std::nullopt);

// "37 of 288 scene runs are done", with ", about 5:12:40 left" when there is an estimate.
std::string PositionText(const CallReport& call, std::optional<double> secondsLeft);

// m:ss, or h:mm:ss from an hour on.
std::string ClockText(double seconds);

// `value` as at least `digits` upper-case hexadecimal digits: "1002", "00021002".
std::string HexText(std::uint32_t value, int digits);

// "vendor 1002, device 4E44, subsystem 00021002, revision 0".
std::string PciIdsText(const sysinfo::AdapterIdentity& adapter);

// The line printed before a scene is run again for its spread.
std::string ExtraRunText(const CallReport& call, const ConfigurationReport& report, int sceneIndex);

// Per scene its runs, mean, standard deviation and variation with notes, then
// the score of each complete set and their mean; in a sweep, each configuration
// under its name.
std::string ResultsText(const CallReport& call);

// The console text of a comparison of `basePath` with `newPath`.
std::string CompareText(const Comparison& comparison, const std::string& basePath,
                        const std::string& newPath);

// "-5.44 % to -3.14 %", or "none: " and why there is no interval.
std::string IntervalText(const Difference& difference);

// The console text of a merge: the reports with their labels, what to know
// first (the warnings), each configuration's table and the ranking.
std::string MergeText(const Merge& merge);

// The tables of a merge in fixed-width text: each configuration's (per report
// its scenes' mean frame rates, its score, and its score against the
// reference's with the interval) and the ranking by index.
std::string MergeTables(const Merge& merge);

// The short name of a scene in a table's head: "Flyby 1", "Botmatch1".
std::string SceneShortName(int sceneIndex);

// "100.0", "93.4" or "-" for a report's index.
std::string IndexText(const IndexEntry& entry);

// What an index rests on: "2 configurations", with "; from the scenes' frame
// rates where there was no score" when one had none.
std::string IndexBasisText(const IndexEntry& entry);

} // namespace cli
