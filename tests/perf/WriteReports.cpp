// Writes COUNT reports of CONFIGURATIONS configurations each (two renderers, two
// details, two resolutions: eight), every scene three runs, as korvane-cli writes
// them, for scripts/measure-merge.sh to merge. Each report is of another card.
// Usage: korvane-write-reports FOLDER [COUNT]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/ReportSamples.h"
#include "cli/output/Json.h"
#include "cli/run/Files.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvane-write-reports FOLDER [COUNT]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int count = argc > 2 ? std::atoi(argv[2]) : 64;
    for (int i = 0; i < count; ++i) {
        cli::CallReport call = samples::FullCall(0.5 + 0.01 * i, 3, {"1024x768", "1600x1200"});
        call.plan.renderers = {bench::Renderer::OpenGL, bench::Renderer::Direct3D};
        call.plan.details = {bench::Detail::High, bench::Detail::Low};
        const std::vector<cli::ConfigurationReport> resolutions = call.configurations;
        call.configurations.clear();
        for (const cli::Configuration& configuration : cli::Configurations(call.plan)) {
            call.configurations.push_back(resolutions[configuration.resolution == "1024x768" ? 0 : 1]);
            call.configurations.back().configuration = configuration;
        }
        call.machine.videoCard = "Card " + std::to_string(i + 1);
        std::string problem;
        const std::string path = folder + "\\card-" + std::to_string(i + 1) + ".json";
        if (!cli::ReplaceFile(path, cli::ReportJson(call), problem)) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), problem.c_str());
            return 1;
        }
    }
    std::printf("%d reports of 8 configurations written\n", count);
    return 0;
}
