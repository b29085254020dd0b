// The option names, the configurations of a plan and the time-outs.
#include "cli/report/Plan.h"

#include <algorithm>

#include "framework/Format.h"

namespace cli {

const std::array<OptionName<bench::Renderer>, 2>& RendererNames() {
    static const std::array<OptionName<bench::Renderer>, 2> names = {{
        {bench::Renderer::OpenGL, "opengl", "OpenGL ICD"},
        {bench::Renderer::Direct3D, "d3d", "Direct3D 8.1"},
    }};
    return names;
}

const std::array<OptionName<bench::Detail>, 2>& DetailNames() {
    static const std::array<OptionName<bench::Detail>, 2> names = {{
        {bench::Detail::High, "high", "High"},
        {bench::Detail::Low, "low", "Low"},
    }};
    return names;
}

const OptionName<bench::Renderer>& NamesOf(bench::Renderer renderer) {
    return RendererNames()[renderer == bench::Renderer::OpenGL ? 0 : 1];
}

const OptionName<bench::Detail>& NamesOf(bench::Detail detail) {
    return DetailNames()[detail == bench::Detail::High ? 0 : 1];
}

bool operator==(const Configuration& a, const Configuration& b) {
    return a.renderer == b.renderer && a.detail == b.detail && a.resolution == b.resolution;
}

std::string ConfigurationText(const Configuration& configuration) {
    return framework::Format("%s, %s, %s", NamesOf(configuration.renderer).text,
                             NamesOf(configuration.detail).text, configuration.resolution.c_str());
}

std::vector<Configuration> Configurations(const RunPlan& plan) {
    std::vector<Configuration> configurations;
    for (const bench::Renderer renderer : plan.renderers) {
        for (const bench::Detail detail : plan.details) {
            for (const std::string& resolution : plan.resolutions) {
                configurations.push_back({renderer, detail, resolution});
            }
        }
    }
    return configurations;
}

std::vector<int> ChosenScenes(const RunPlan& plan) {
    std::vector<int> scenes;
    for (int index = 0; index < bench::kSceneCount; ++index) {
        if (plan.scenes[static_cast<std::size_t>(index)]) {
            scenes.push_back(index);
        }
    }
    return scenes;
}

int DefaultTimeoutSeconds(const bench::SceneRow& scene) {
    return 3 * scene.lengthSeconds + 60;
}

int TimeoutSeconds(const RunPlan& plan, const bench::SceneRow& scene) {
    return plan.timeoutSeconds.value_or(DefaultTimeoutSeconds(scene));
}

int LongestTimeoutSeconds(const RunPlan& plan) {
    const std::vector<int> chosen = ChosenScenes(plan);
    int longest = 0;
    for (const bench::SceneRow& scene : bench::SceneTable()) {
        if (chosen.empty() || plan.scenes[static_cast<std::size_t>(scene.index)]) {
            longest = std::max(longest, TimeoutSeconds(plan, scene));
        }
    }
    return longest;
}

} // namespace cli
