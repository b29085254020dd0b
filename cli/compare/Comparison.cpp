// Two reports' values compared.
#include "cli/compare/Comparison.h"

#include "cli/report/ExitStatus.h"

namespace cli {

namespace {

struct VerdictNames {
    Verdict verdict;
    const char* name;
    const char* text;
};

constexpr VerdictNames kVerdictNames[] = {
    {Verdict::Faster, "faster", "faster"},
    {Verdict::Slower, "slower", "slower"},
    {Verdict::NoDifference, "no-difference", "no difference that these runs can show"},
};

const VerdictNames& NamesOf(Verdict verdict) {
    for (const VerdictNames& names : kVerdictNames) {
        if (names.verdict == verdict) {
            return names;
        }
    }
    return kVerdictNames[2];
}

} // namespace

const char* VerdictName(Verdict verdict) {
    return NamesOf(verdict).name;
}

const char* VerdictText(Verdict verdict) {
    return NamesOf(verdict).text;
}

Comparison CompareReports(const ReportValues& base, const ReportValues& newer) {
    Comparison comparison;
    std::vector<bool> matched(newer.configurations.size(), false);
    for (const ConfigurationValues& baseValues : base.configurations) {
        const ConfigurationValues* newValues = nullptr;
        for (std::size_t i = 0; i < newer.configurations.size() && newValues == nullptr; ++i) {
            if (!matched[i] && newer.configurations[i].configuration == baseValues.configuration) {
                matched[i] = true;
                newValues = &newer.configurations[i];
            }
        }
        if (newValues == nullptr) {
            comparison.onlyInBase.push_back(ConfigurationText(baseValues.configuration));
            continue;
        }
        ConfigurationComparison configuration;
        configuration.configuration = baseValues.configuration;
        for (const auto& [scene, fps] : baseValues.sceneFps) {
            const auto other = newValues->sceneFps.find(scene);
            if (other != newValues->sceneFps.end()) {
                if (const std::optional<Difference> difference = CompareValues(fps, other->second)) {
                    configuration.scenes.push_back({scene, *difference});
                }
            }
        }
        configuration.score = CompareValues(baseValues.scores, newValues->scores);
        int direction = Direction(configuration.score);
        if (!configuration.score) {
            bool faster = false;
            bool slower = false;
            for (const SceneComparison& scene : configuration.scenes) {
                faster = faster || Direction(scene.difference) > 0;
                slower = slower || Direction(scene.difference) < 0;
            }
            direction = faster == slower ? 0 : faster ? 1 : -1;
        }
        configuration.verdict = direction > 0   ? Verdict::Faster
                                : direction < 0 ? Verdict::Slower
                                                : Verdict::NoDifference;
        comparison.configurations.push_back(configuration);
    }
    for (std::size_t i = 0; i < newer.configurations.size(); ++i) {
        if (!matched[i]) {
            comparison.onlyInNew.push_back(ConfigurationText(newer.configurations[i].configuration));
        }
    }
    return comparison;
}

int CompareExitStatus(const Comparison& comparison, std::optional<double> failBelowPercent) {
    if (!failBelowPercent) {
        return kExitAllResults;
    }
    for (const ConfigurationComparison& configuration : comparison.configurations) {
        if (configuration.score) {
            if (FallsBelow(*configuration.score, *failBelowPercent)) {
                return kExitSlower;
            }
            continue;
        }
        for (const SceneComparison& scene : configuration.scenes) {
            if (FallsBelow(scene.difference, *failBelowPercent)) {
                return kExitSlower;
            }
        }
    }
    return kExitAllResults;
}

} // namespace cli
