// What one korvane-cli call runs: the renderers, detail levels and resolutions
// (each a list: every combination is a configuration of its own), the scenes,
// the runs and the time-out; and the names each option value goes by.
// Platform-free.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"
#include "bench/SceneScore.h"
#include "cli/report/RunStatistics.h"

namespace cli {

constexpr char kProgramName[] = "korvane-cli";

constexpr int kDefaultRuns = 3;

// A renderer or a detail level with its two names: korvane-cli's own (its
// arguments, the JSON report, the CSV file) and the window's radio text.
template <typename Value> struct OptionName {
    Value value;
    const char* name;
    const char* text;
};
// In the window's order: OpenGL, then Direct3D; High, then Low.
const std::array<OptionName<bench::Renderer>, 2>& RendererNames();
const std::array<OptionName<bench::Detail>, 2>& DetailNames();

const OptionName<bench::Renderer>& NamesOf(bench::Renderer renderer);
const OptionName<bench::Detail>& NamesOf(bench::Detail detail);

// One combination of the three option groups, as one press of the window runs it.
struct Configuration {
    bench::Renderer renderer = bench::Renderer::Direct3D;
    bench::Detail detail = bench::Detail::High;
    std::string resolution = "1024x768";
};

bool operator==(const Configuration& a, const Configuration& b);

// The window's names of its options: "Direct3D 8.1, High, 640x480".
std::string ConfigurationText(const Configuration& configuration);

struct RunPlan {
    std::vector<bench::Renderer> renderers{bench::Renderer::Direct3D};
    std::vector<bench::Detail> details{bench::Detail::High};
    std::vector<std::string> resolutions{"1024x768"};
    std::array<bool, bench::kSceneCount> scenes{true, true, true, true, true, true};
    int runs = kDefaultRuns;
    std::optional<int> timeoutSeconds; // per scene run; none: each scene's DefaultTimeoutSeconds
    double maxVariationPercent = kMaxVariationPercent;
};

// Every configuration of the plan: renderer first, then detail, then resolution,
// each list in the order it holds.
std::vector<Configuration> Configurations(const RunPlan& plan);

// The chosen scenes, in scene order.
std::vector<int> ChosenScenes(const RunPlan& plan);

// Three times the scene's length plus a minute.
int DefaultTimeoutSeconds(const bench::SceneRow& scene);

// The time-out of one run of `scene`.
int TimeoutSeconds(const RunPlan& plan, const bench::SceneRow& scene);

// The longest time-out of a chosen scene (of every scene when none is chosen).
int LongestTimeoutSeconds(const RunPlan& plan);

} // namespace cli
