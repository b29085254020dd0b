// korvane-cli compare: for every configuration and scene two reports both hold,
// the difference of the means with its interval, the same for the score, and a
// verdict per configuration. Platform-free.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/compare/Welch.h"
#include "cli/report/Plan.h"

namespace cli {

// What a comparison needs of one configuration of a report.
struct ConfigurationValues {
    Configuration configuration;
    std::map<int, std::vector<double>> sceneFps; // the frame rates of the runs that gave one, by scene
    std::vector<double> scores;                  // the Korvanes of each complete set
};

struct ReportValues {
    std::vector<ConfigurationValues> configurations;
};

enum class Verdict { Faster, Slower, NoDifference };

// The report's word for a verdict ("faster", "slower", "no-difference") and the
// console's ("faster", "slower", "no difference that these runs can show").
const char* VerdictName(Verdict verdict);
const char* VerdictText(Verdict verdict);

struct SceneComparison {
    int sceneIndex = 0;
    Difference difference;
};

struct ConfigurationComparison {
    Configuration configuration;
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

Comparison CompareReports(const ReportValues& base, const ReportValues& newer);

// 4 (kExitSlower) when `failBelowPercent` is given and the new score of some
// configuration falls below it, or, for a configuration without a score, the
// mean of some scene; 0 otherwise.
int CompareExitStatus(const Comparison& comparison, std::optional<double> failBelowPercent);

} // namespace cli
