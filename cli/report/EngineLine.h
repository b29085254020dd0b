// The whole of the benchmark log's last line as the engine writes it:
//   <min> / <avg> / <max> fps -- Score = <score>        rand[<n>]
// The window reads only the value after the first "="; the console program also
// keeps the slowest, average and fastest frame rates and the rand[] seed.
// Platform-free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cli {

// The numbers of a line in the engine's shape.
struct EngineLine {
    double minFps = 0.0;
    double avgFps = 0.0;
    double maxFps = 0.0;
    double score = 0.0;
    std::uint32_t randSeed = 0;
};

// The line's numbers when it has the engine's shape: four decimal numbers and
// the seed, with at least one blank wherever the shape shows blanks, blanks
// allowed at either end, and nothing else. Nothing otherwise.
std::optional<EngineLine> ParseEngineLine(const std::string& line);

// What a scene's last line gives.
struct LastLineReading {
    double fps = 0.0;       // the window's value (ExtractSceneFps), whatever the shape
    bool hasNumber = false; // a number stood where the window reads it
    std::optional<EngineLine> engine;
};

LastLineReading ReadLastLineValues(const std::string& lastLine);

} // namespace cli
