// Statistics over repeated runs of a scene: mean, sample standard deviation and
// coefficient of variation, the rule that asks for more runs when a scene's
// values spread too far, and the check that bot matches replayed one sequence.
// Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace cli {

// A scene is run again while its values vary by this much or more.
constexpr double kMaxVariationPercent = 3.5;

struct Spread {
    std::size_t count = 0;
    std::optional<double> mean;              // from one value on
    std::optional<double> standardDeviation; // sample (n - 1) deviation, from two values on
    std::optional<double> variationPercent;  // deviation / mean * 100; none when the mean is 0
};

Spread SpreadOf(const std::vector<double>& values);

// True when a scene with `spread` after `runsSoFar` runs gets another one: its
// variation is `maxVariationPercent` or more and it has had fewer than twice the
// `plannedRuns`. A spread without a variation (fewer than two values, a mean of
// 0) never asks for more.
bool WantsAnotherRun(const Spread& spread, int runsSoFar, int plannedRuns,
                     double maxVariationPercent = kMaxVariationPercent);

// True when the seeds are not all the same: the bot matches did not replay the
// same sequence. Fewer than two seeds never differ.
bool SeedsDiffer(const std::vector<std::uint32_t>& seeds);

} // namespace cli
