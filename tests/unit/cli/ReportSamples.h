// Calls as korvane-cli records them, built run by run for the tests of the
// report, output and compare rooms: the machine and game of a Pentium III with a
// RADEON 9700, scene runs whose last lines have the engine's shape.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
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

// A report as merge reads it: written by korvane-cli's writer, read back.
inline cli::MergeInput Input(const cli::CallReport& call, const std::string& path) {
    cli::MergeInput input;
    input.path = path;
    const std::string text = cli::ReportJson(call);
    input.contentHash = cli::ContentHash(text);
    std::string problem;
    input.report = cli::ReadReport(text, problem).value_or(cli::ReportFile());
    return input;
}

// The samples of a merge whose files tests/data/cli/output/merge holds.
inline std::vector<std::pair<std::string, std::vector<cli::MergeInput>>> MergeSamples() {
    // Four cards on one processor, each with its own driver.
    const std::tuple<const char*, const char*, double> cards[] = {
        {"RADEON 9700 PRO", "6.14.10.6292", 1.0},
        {"NVIDIA GeForce4 Ti 4600", "6.14.10.4109", 0.91},
        {"Matrox Parhelia-512", "5.12.1.1017", 0.62},
        {"SiS Xabre 400", "6.14.10.3130", 0.47}};
    std::vector<cli::MergeInput> fourCards;
    for (const auto& [card, driver, speed] : cards) {
        cli::CallReport call = FullCall(speed, 2);
        call.machine.videoCard = card;
        call.adapter->driverVersion = driver;
        fourCards.push_back(Input(call, std::string("C:\\Roundup\\") + card + ".json"));
    }
    // One card with three drivers: only their versions tell them apart.
    std::vector<cli::MergeInput> threeDrivers;
    for (const auto& [driver, speed] :
         {std::make_pair("6.14.10.6255", 0.97), std::make_pair("6.14.10.6292", 1.0),
          std::make_pair("6.14.10.6343", 1.04)}) {
        cli::CallReport call = FullCall(speed, 3);
        call.adapter->driverVersion = driver;
        threeDrivers.push_back(Input(call, std::string("catalyst-") + driver + ".json"));
    }
    // One card at three clocks and two resolutions.
    std::vector<cli::MergeInput> threeClocks;
    for (const auto& [clock, speed] :
         {std::make_pair("1466.53 MHz", 1.0), std::make_pair("1600.12 MHz", 1.06),
          std::make_pair("1733.70 MHz", 1.11)}) {
        cli::CallReport call = FullCall(speed, 2, {"1024x768", "1600x1200"});
        call.machine.frequency = clock;
        threeClocks.push_back(Input(call, std::string("clock-") + clock + ".json"));
    }
    // A report with two scenes only (no score), one cut off by a crash, and the
    // first given twice; the reference is the second.
    cli::CallReport twoScenes = MakeCall({0, 3}, 2);
    AddRun(twoScenes.configurations[0], 0, 1, bench::SceneStatus::Recorded, 110.0);
    AddRun(twoScenes.configurations[0], 3, 1, bench::SceneStatus::Recorded, 55.0);
    AddRun(twoScenes.configurations[0], 0, 2, bench::SceneStatus::Recorded, 112.0);
    AddRun(twoScenes.configurations[0], 3, 2, bench::SceneStatus::Recorded, 54.0);
    cli::CallReport cutOff = FullCall(0.8, 2);
    cutOff.configurations[0].runs.resize(8);
    cutOff.configurations[0].sets.resize(2);
    cutOff.complete = false;
    cutOff.korvaneVersion = "1.00 Alpha2";
    std::vector<cli::MergeInput> partial = {Input(FullCall(1.0, 2), "full.json"),
                                            Input(twoScenes, "two.json"), Input(cutOff, "cut.json"),
                                            Input(FullCall(1.0, 2), "again.json")};
    return {{"four-cards", fourCards},
            {"three-drivers", threeDrivers},
            {"three-clocks", threeClocks},
            {"partial-sets", partial}};
}

} // namespace samples
