// Reports read back with nlohmann-json.
#include "cli/compare/ReportReader.h"

#include <stdexcept>

#include <nlohmann/json.hpp>

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
    bool known = false;
    for (const auto& names : RendererNames()) {
        if (renderer == names.name) {
            values.configuration.renderer = names.value;
            known = true;
        }
    }
    bool knownDetail = false;
    for (const auto& names : DetailNames()) {
        if (detail == names.name) {
            values.configuration.detail = names.value;
            knownDetail = true;
        }
    }
    if (!known || !knownDetail) {
        throw std::invalid_argument("a configuration's renderer is not d3d or opengl, or its detail not high "
                                    "or low");
    }
    values.configuration.resolution = options.at("resolution").get<std::string>();
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

} // namespace cli
