// korvane-cli's command line: the options with the window's defaults, the help
// and version texts and the exit statuses. Platform-free.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "bench/BenchOptions.h"
#include "bench/SceneScore.h"

namespace cli {

constexpr char kProgramName[] = "korvane-cli";

// Exit statuses.
constexpr int kExitAllResults = 0;   // every scene run produced a result
constexpr int kExitNotInstalled = 1; // the UT2003 demo is not installed
constexpr int kExitBadArgument = 2;  // a bad argument, or an output file that cannot be written
constexpr int kExitSomeFailed = 3;   // some scene run produced no result, or the run was stopped
constexpr int kExitSlower = 4;       // compare --fail-below: the new report is slower by more than allowed

constexpr int kDefaultRuns = 3;
constexpr int kMaxRuns = 100;
constexpr int kMaxTimeoutSeconds = 24 * 60 * 60;

struct CliOptions {
    // One configuration: the window's three option groups.
    bench::Renderer renderer = bench::Renderer::Direct3D;
    bench::Detail detail = bench::Detail::High;
    std::string resolutionText = "1024x768";
    // The configurations a call runs: every combination of these, each list in
    // the window's order. The three above are the first of them.
    std::vector<bench::Renderer> renderers{bench::Renderer::Direct3D};
    std::vector<bench::Detail> details{bench::Detail::High};
    std::vector<std::string> resolutions{"1024x768"};
    std::array<bool, bench::kSceneCount> scenes{true, true, true, true, true, true};
    int runs = kDefaultRuns;
    std::optional<int> timeoutSeconds; // per scene run; none: DefaultTimeoutSeconds of the scene
    std::string jsonPath;              // empty: no JSON file
    std::string csvPath;               // empty: no CSV file
    std::string htmlPath;              // empty: no HTML page
    bool quiet = false;
};

// korvane-cli compare BASE.json NEW.json [--json FILE] [--html FILE] [--fail-below PERCENT]
struct CompareOptions {
    std::string basePath, newPath;
    std::string jsonPath; // empty: no JSON file
    std::string htmlPath; // empty: no HTML page
    std::optional<double> failBelowPercent;
};

enum class Command { Run, Help, Version, Compare };

struct ParsedArguments {
    Command command = Command::Run;
    CliOptions options;
    CompareOptions compare;
    std::string error; // empty when the arguments are good
};

// Reads the arguments after the program's name. "--name value" and
// "--name=value" are the same; an option may be given once. A first argument
// "compare" reads the comparison's arguments instead.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

// Every configuration of `options`, renderer first, then detail, then
// resolution: each a copy of `options` with its three values and lists of one.
std::vector<CliOptions> Configurations(const CliOptions& options);

// The scene's short name on the command line: flyby1 ... botmatch3.
const char* SceneArgumentName(int sceneIndex);

// The game's own length of a scene, the number after "-seconds=" in its line.
int SceneLengthSeconds(const bench::SceneRow& scene);

// Three times the scene's length plus a minute.
int DefaultTimeoutSeconds(const bench::SceneRow& scene);

// The time-out of a scene run under `options`.
int TimeoutSeconds(const CliOptions& options, const bench::SceneRow& scene);

// The names the options use: "d3d" / "opengl", "high" / "low".
const char* RendererArgumentName(bench::Renderer renderer);
const char* DetailArgumentName(bench::Detail detail);

std::string HelpText();
std::string VersionText(const std::string& korvaneVersion);

} // namespace cli
