// What korvane-cli compare prints and writes.
#include <string>

#include "cli/CliArguments.h"
#include "cli/Compare.h"
#include "cli/JsonWriter.h"
#include "cli/ReportText.h"
#include "cli/RunReport.h"
#include "framework/Format.h"

namespace cli {

namespace {

// `decimals`: of the means, 2 for frame rates, 0 for Korvanes.
std::string Row(const std::string& name, const Difference& difference, int decimals) {
    return framework::Format(
        "%-24s %7s %9s %9s %10s  %s\n", name.c_str(),
        framework::Format("%zu/%zu", difference.base.count, difference.now.count).c_str(),
        framework::Format("%.*f", decimals, *difference.base.mean).c_str(),
        framework::Format("%.*f", decimals, *difference.now.mean).c_str(),
        framework::Format("%+.2f %%", difference.percent).c_str(), IntervalText(difference).c_str());
}

void WriteSpread(JsonWriter& json, const Spread& values) {
    json.BeginObject();
    json.Key("count").Integer(static_cast<long long>(values.count));
    json.Key("mean").NumberOrNull(values.mean);
    json.Key("standardDeviation").NumberOrNull(values.standardDeviation);
    json.EndObject();
}

void WriteDifference(JsonWriter& json, const Difference& difference) {
    json.BeginObject();
    WriteSpread(json.Key("base"), difference.base);
    WriteSpread(json.Key("new"), difference.now);
    json.Key("percent").Number(difference.percent);
    json.Key("interval");
    if (difference.low) {
        json.BeginObject();
        json.Key("low").Number(*difference.low);
        json.Key("high").Number(*difference.high);
        json.Key("degreesOfFreedom").Number(*difference.degreesOfFreedom);
        json.EndObject();
    } else {
        json.Null();
    }
    json.Key("noInterval")
        .StringOrNull(difference.noInterval ? std::optional<std::string>(difference.noInterval)
                                            : std::nullopt);
    json.EndObject();
}

} // namespace

const char* VerdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Faster:
        return "faster";
    case Verdict::Slower:
        return "slower";
    case Verdict::NoDifference:
        break;
    }
    return "no difference that these runs can show";
}

std::string IntervalText(const Difference& difference) {
    return difference.low ? framework::Format("%+.2f %% to %+.2f %%", *difference.low, *difference.high)
                          : std::string("none: ") + difference.noInterval;
}

std::string ConfigurationText(const ConfigurationComparison& configuration) {
    return ConfigurationText(configuration.renderer, configuration.detail, configuration.resolution);
}

std::string CompareText(const Comparison& comparison, const std::string& basePath,
                        const std::string& newPath) {
    std::string text =
        std::string(kProgramName) + " compare\nBase: " + basePath + "\nNew:  " + newPath + "\n";
    for (const ConfigurationComparison& configuration : comparison.configurations) {
        text += "\n" + ConfigurationText(configuration) + "\n";
        text += framework::Format("%-24s %7s %9s %9s %10s  %s\n", "Scene", "Runs", "Base", "New",
                                  "Difference", "95 % interval");
        for (const SceneComparison& scene : configuration.scenes) {
            text += Row(SceneOf(scene.sceneIndex).checkBoxText, scene.difference, 2);
        }
        if (configuration.score) {
            text += Row("Score (Korvanes)", *configuration.score, 0);
        }
        text += ConfigurationText(configuration) + ": " + VerdictText(configuration.verdict) + "\n";
    }
    const auto listed = [&text](const std::string& path, const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            text += framework::Format("Only in %s: %s\n", path.c_str(), name.c_str());
        }
    };
    text += comparison.onlyInBase.empty() && comparison.onlyInNew.empty() ? "" : "\n";
    listed(basePath, comparison.onlyInBase);
    listed(newPath, comparison.onlyInNew);
    return text;
}

std::string CompareJson(const Comparison& comparison, const std::string& basePath, const std::string& newPath,
                        std::optional<double> failBelowPercent, const Utf8Converter& toUtf8) {
    JsonWriter json;
    json.BeginObject();
    json.Key("format").String("korvane-cli comparison");
    json.Key("formatVersion").Integer(1);
    json.Key("base").String(InUtf8(toUtf8, basePath));
    json.Key("new").String(InUtf8(toUtf8, newPath));
    json.Key("configurations").BeginArray();
    for (const ConfigurationComparison& configuration : comparison.configurations) {
        json.BeginObject();
        json.Key("renderer").String(RendererArgumentName(configuration.renderer));
        json.Key("detail").String(DetailArgumentName(configuration.detail));
        json.Key("resolution").String(configuration.resolution);
        json.Key("scenes").BeginArray();
        for (const SceneComparison& scene : configuration.scenes) {
            json.BeginObject();
            json.Key("scene").Integer(scene.sceneIndex);
            json.Key("name").String(SceneOf(scene.sceneIndex).checkBoxText);
            WriteDifference(json.Key("fps"), scene.difference);
            json.EndObject();
        }
        json.EndArray();
        json.Key("korvanes");
        if (configuration.score) {
            WriteDifference(json, *configuration.score);
        } else {
            json.Null();
        }
        json.Key("verdict").String(configuration.verdict == Verdict::Faster   ? "faster"
                                   : configuration.verdict == Verdict::Slower ? "slower"
                                                                              : "no-difference");
        json.EndObject();
    }
    json.EndArray();
    for (const auto& [key, names] : {std::make_pair("onlyInBase", &comparison.onlyInBase),
                                     std::make_pair("onlyInNew", &comparison.onlyInNew)}) {
        json.Key(key).BeginArray();
        for (const std::string& name : *names) {
            json.String(name);
        }
        json.EndArray();
    }
    json.Key("failBelowPercent").NumberOrNull(failBelowPercent);
    json.Key("exitStatus").Integer(CompareExitStatus(comparison, failBelowPercent));
    json.EndObject();
    return json.Text();
}

} // namespace cli
