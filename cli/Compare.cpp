// Two reports compared.
#include "cli/Compare.h"

#include <cmath>
#include <cstddef>

// Boost.Math's root finders include <iostream> for their instrumented builds'
// output alone. Its set-up of the standard streams would make korvane-cli import
// msvcrt's _fstat64, which Windows 98 lacks, so the header is kept out; the
// streams are never used.
#include <istream>
#include <ostream>
#define _GLIBCXX_IOSTREAM 1 // NOLINT(bugprone-reserved-identifier): libstdc++'s own guard
#include <boost/math/distributions/students_t.hpp>
#include <nlohmann/json.hpp>

#include "cli/CliArguments.h"
#include "cli/ReportText.h"

namespace cli {

namespace {

using nlohmann::json;

// The configuration's values from one report body of format version 1 or one
// element of version 2's "configurations".
ConfigurationValues ReadConfiguration(const json& body) {
    ConfigurationValues values;
    const json& options = body.at("options");
    const std::string renderer = options.at("renderer").get<std::string>();
    const std::string detail = options.at("detail").get<std::string>();
    if ((renderer != "d3d" && renderer != "opengl") || (detail != "high" && detail != "low")) {
        throw std::invalid_argument("a configuration's renderer is not d3d or opengl, or its detail not high "
                                    "or low");
    }
    values.renderer = renderer == "opengl" ? bench::Renderer::OpenGL : bench::Renderer::Direct3D;
    values.detail = detail == "low" ? bench::Detail::Low : bench::Detail::High;
    values.resolution = options.at("resolution").get<std::string>();
    for (const json& run : body.at("runs")) {
        const int scene = run.at("scene").get<int>();
        if (scene < 0 || scene >= bench::kSceneCount) {
            throw std::invalid_argument("a run's scene is not 0 to 5");
        }
        if (run.at("status").get<std::string>() == "ok" && run.at("fps").is_number()) {
            values.sceneFps[scene].push_back(run.at("fps").get<double>());
        }
    }
    for (const json& set : body.at("score").at("sets")) {
        if (set.at("korvanes").is_number()) {
            values.scores.push_back(set.at("korvanes").get<double>());
        }
    }
    return values;
}

std::string NameOf(const ConfigurationValues& values) {
    return ConfigurationText(values.renderer, values.detail, values.resolution);
}

// +1 when the interval lies wholly above zero, -1 wholly below, 0 otherwise.
int Direction(const std::optional<Difference>& difference) {
    if (!difference || !difference->low) {
        return 0;
    }
    return *difference->low > 0.0 ? 1 : *difference->high < 0.0 ? -1 : 0;
}

} // namespace

std::optional<ReportValues> ReadReportValues(const std::string& text, std::string& problem) {
    const json document = json::parse(text, nullptr, false);
    if (document.is_discarded()) {
        problem = "it is not JSON";
        return std::nullopt;
    }
    try {
        if (!document.is_object() || !document.contains("format") ||
            document.at("format") != "korvane-cli report") {
            problem = "it is no korvane-cli report (its \"format\" is not \"korvane-cli report\")";
            return std::nullopt;
        }
        const json& version = document.at("formatVersion");
        ReportValues values;
        if (version == 1) {
            values.configurations.push_back(ReadConfiguration(document));
        } else if (version == 2) {
            for (const json& body : document.at("configurations")) {
                values.configurations.push_back(ReadConfiguration(body));
            }
        } else {
            problem = "its format version " + version.dump() + " is not one this program reads (1 or 2)";
            return std::nullopt;
        }
        return values;
    } catch (const std::exception& error) {
        // nlohmann's messages start with their own code in brackets.
        const std::string what = error.what();
        const std::size_t code = what.rfind("] ");
        problem = "it does not hold what a report holds: " +
                  (code == std::string::npos || what[0] != '[' ? what : what.substr(code + 2));
        return std::nullopt;
    }
}

double WelchDegreesOfFreedom(double baseVariance, std::size_t baseCount, double newVariance,
                             std::size_t newCount) {
    const double base = baseVariance / static_cast<double>(baseCount);
    const double now = newVariance / static_cast<double>(newCount);
    return (base + now) * (base + now) /
           (base * base / static_cast<double>(baseCount - 1) + now * now / static_cast<double>(newCount - 1));
}

double StudentT975(double degreesOfFreedom) {
    return boost::math::quantile(boost::math::students_t_distribution<double>(degreesOfFreedom), 0.975);
}

std::optional<Difference> CompareValues(const std::vector<double>& base, const std::vector<double>& now) {
    Difference difference;
    difference.base = SpreadOf(base);
    difference.now = SpreadOf(now);
    if (!difference.base.mean || !difference.now.mean || *difference.base.mean == 0.0) {
        return std::nullopt;
    }
    const double baseMean = *difference.base.mean;
    const double change = *difference.now.mean - baseMean;
    difference.percent = change / baseMean * 100.0;
    if (base.size() < 2 || now.size() < 2) {
        difference.noInterval = "one run";
        return difference;
    }
    const double baseVariance = *difference.base.standardDeviation * *difference.base.standardDeviation;
    const double newVariance = *difference.now.standardDeviation * *difference.now.standardDeviation;
    const double standardError = std::sqrt(baseVariance / static_cast<double>(base.size()) +
                                           newVariance / static_cast<double>(now.size()));
    if (standardError == 0.0) {
        difference.noInterval = "no spread";
        return difference;
    }
    difference.degreesOfFreedom = WelchDegreesOfFreedom(baseVariance, base.size(), newVariance, now.size());
    const double margin = StudentT975(*difference.degreesOfFreedom) * standardError;
    difference.low = (change - margin) / baseMean * 100.0;
    difference.high = (change + margin) / baseMean * 100.0;
    return difference;
}

Comparison CompareReports(const ReportValues& base, const ReportValues& now) {
    Comparison comparison;
    std::vector<bool> matched(now.configurations.size(), false);
    for (const ConfigurationValues& baseValues : base.configurations) {
        const ConfigurationValues* newValues = nullptr;
        for (std::size_t i = 0; i < now.configurations.size() && newValues == nullptr; ++i) {
            if (!matched[i] && NameOf(now.configurations[i]) == NameOf(baseValues)) {
                matched[i] = true;
                newValues = &now.configurations[i];
            }
        }
        if (newValues == nullptr) {
            comparison.onlyInBase.push_back(NameOf(baseValues));
            continue;
        }
        ConfigurationComparison configuration;
        configuration.renderer = baseValues.renderer;
        configuration.detail = baseValues.detail;
        configuration.resolution = baseValues.resolution;
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
    for (std::size_t i = 0; i < now.configurations.size(); ++i) {
        if (!matched[i]) {
            comparison.onlyInNew.push_back(NameOf(now.configurations[i]));
        }
    }
    return comparison;
}

bool FallsBelow(const Difference& difference, double percent) {
    return difference.percent < -percent && difference.high && *difference.high < 0.0;
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
