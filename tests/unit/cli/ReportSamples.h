// Calls as korvane-cli records them, built run by run for the tests of the
// report, output and compare rooms: the machine and game of a Pentium III with a
// RADEON 9700, scene runs whose last lines have the engine's shape.
#pragma once

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/SceneOutcome.h"
#include "cli/compare/Merge.h"
#include "cli/output/Json.h"
#include "cli/report/CallReport.h"

namespace samples {

inline std::string EngineLineText(double fps, unsigned seed) {
    char line[160];
    std::snprintf(line, sizeof line, "%.6f / %.6f / %.6f fps -- Score = %.6f        rand[%u]", fps / 2, fps,
                  fps * 2, fps, seed);
    return line;
}

// A call of one configuration with `runs` planned runs of the given scenes and no run yet.
inline cli::CallReport MakeCall(const std::vector<int>& scenes, int runs) {
    cli::CallReport call;
    call.korvaneVersion = "1.00 Alpha1";
    call.startedAt = "2026-12-08T21:30:05+01:00";
    call.complete = true;
    call.machine = {"Intel(R) Pentium(R) III",
                    "1466.53 MHz",
                    "32k L1, 256k L2",
                    "257 MByte",
                    "Windows XP",
                    "RADEON 9700"};
    call.game = {"C:\\UT", "C:\\UT\\system\\UT2003.exe", "C:\\UT\\system",
                 "C:\\UT\\benchmark\\benchmark.log"};
    call.adapter = sysinfo::AdapterIdentity{"ati2dvag.dll", "6.14.10.6292", 0x1002, 0x4E44, 0x00021002, 0};
    call.plan.scenes = {};
    call.plan.runs = runs;
    call.configurations.emplace_back();
    for (const int scene : scenes) {
        call.plan.scenes[static_cast<std::size_t>(scene)] = true;
        call.configurations.back().commandLines.push_back(
            {scene, "C:\\UT\\System\\UT2003.exe line " + std::to_string(scene)});
    }
    return call;
}

// Adds one run as korvane-cli does: its record, and its value through the
// window's arithmetic in the set of its round when the log was read.
inline void AddRun(cli::ConfigurationReport& report, int scene, int round, bench::SceneStatus status,
                   double fps = 0.0, unsigned seed = 1) {
    cli::SceneAttempt run;
    run.sceneIndex = scene;
    run.round = round;
    run.attempt = 1;
    for (const cli::SceneAttempt& earlier : report.runs) {
        run.attempt += earlier.sceneIndex == scene ? 1 : 0;
    }
    run.status = status;
    run.seconds = 1.25;
    if (bench::ValueRecorded(status)) {
        run.lastLine = status == bench::SceneStatus::Recorded ? EngineLineText(fps, seed)
                                                              : "Benchmark ended without a frame rate";
        run.reading = cli::ReadLastLineValues(run.lastLine);
        report.sets.resize(std::max(report.sets.size(), static_cast<std::size_t>(round)));
        report.sets[static_cast<std::size_t>(round - 1)].RecordScene(scene, run.reading.fps);
    } else {
        run.message = "The game did not end in time.";
    }
    report.runs.push_back(run);
}

// A whole call of every scene, `runs` runs each, at each resolution: frame
// rates of `speed` times a scene's own, a little apart from run to run.
inline cli::CallReport FullCall(double speed, int runs,
                                const std::vector<std::string>& resolutions = {"1024x768"}) {
    cli::CallReport call = MakeCall({0, 1, 2, 3, 4, 5}, runs);
    call.plan.resolutions = resolutions;
    const cli::ConfigurationReport empty = call.configurations.front();
    call.configurations.clear();
    const double sceneFps[] = {120, 140, 100, 60, 70, 50};
    for (std::size_t r = 0; r < resolutions.size(); ++r) {
        call.configurations.push_back(empty);
        cli::ConfigurationReport& report = call.configurations.back();
        report.configuration.resolution = resolutions[r];
        const double resolutionFactor = 1.0 / (1.0 + 0.5 * static_cast<double>(r));
        for (int round = 1; round <= runs; ++round) {
            for (int scene = 0; scene < bench::kSceneCount; ++scene) {
                AddRun(report, scene, round, bench::SceneStatus::Recorded,
                       sceneFps[scene] * speed * resolutionFactor * (1.0 + 0.01 * (round % 2)),
                       static_cast<unsigned>(round));
            }
        }
    }
    return call;
}

// A report as merge reads it from `text`; one it refuses throws, which fails the test.
inline cli::MergeInput Input(const std::string& text, const std::string& path) {
    cli::MergeInput input;
    input.path = path;
    input.contentHash = cli::ContentHash(text);
    std::string problem;
    input.report = cli::ReadReport(text, problem).value_or(cli::ReportFile());
    if (!problem.empty()) {
        throw std::runtime_error(path + ": " + problem);
    }
    return input;
}

// A report as merge reads it: written by korvane-cli's writer, read back.
inline cli::MergeInput Input(const cli::CallReport& call, const std::string& path) {
    return Input(cli::ReportJson(call), path);
}

} // namespace samples
