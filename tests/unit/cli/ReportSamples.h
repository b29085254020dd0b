// Calls as korvane-cli records them, built run by run for the tests of the
// report, output and compare rooms: the machine and game of a Pentium III with a
// RADEON 9700, scene runs whose last lines have the engine's shape.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/SceneOutcome.h"
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

inline void AddSet(cli::ConfigurationReport& report, int round, const std::vector<double>& fps) {
    for (int scene = 0; scene < bench::kSceneCount; ++scene) {
        AddRun(report, scene, round, bench::SceneStatus::Recorded, fps[static_cast<std::size_t>(scene)]);
    }
}

// A resolution sweep of two configurations: 640x480, then 800x600.
inline cli::CallReport Sweep() {
    cli::CallReport call = MakeCall({0, 3}, 1);
    call.plan.resolutions = {"640x480", "800x600"};
    call.machine.videoCard = "RADEON <9700> & \"Pro\"";
    call.configurations.push_back(call.configurations.front());
    cli::ConfigurationReport& low = call.configurations[0];
    cli::ConfigurationReport& high = call.configurations[1];
    low.configuration.resolution = "640x480";
    high.configuration.resolution = "800x600";
    AddRun(low, 0, 1, bench::SceneStatus::Recorded, 120.0, 6284);
    AddRun(low, 3, 1, bench::SceneStatus::Recorded, 60.0, 6284);
    AddRun(high, 0, 1, bench::SceneStatus::Recorded, 100.0, 6284);
    AddRun(high, 3, 1, bench::SceneStatus::TimedOut);
    return call;
}

} // namespace samples
