// Mean, deviation, variation and the repeat rule.
#include "cli/report/RunStatistics.h"

#include <algorithm>
#include <cmath>

namespace cli {

Spread SpreadOf(const std::vector<double>& values) {
    Spread spread;
    spread.count = values.size();
    if (values.empty()) {
        return spread;
    }
    const auto count = static_cast<double>(values.size());
    double sum = 0.0;
    for (const double value : values) {
        sum += value;
    }
    double mean = sum / count;
    if (!std::isfinite(sum)) {
        // Values near the largest double: their sum overflows, each share of it does not.
        mean = 0.0;
        for (const double value : values) {
            mean += value / count;
        }
    }
    spread.mean = mean;
    if (values.size() < 2) {
        return spread;
    }
    // The squares are taken around the mean, not as sums of squares minus the
    // squared sum, which loses every digit for values close together.
    double squares = 0.0;
    double largest = 0.0;
    for (const double value : values) {
        squares += (value - mean) * (value - mean);
        largest = std::max(largest, std::fabs(value - mean));
    }
    double deviation = std::sqrt(squares / (count - 1));
    if (!std::isfinite(squares) && std::isfinite(largest)) {
        // Distances too large to square: squared as shares of the largest.
        squares = 0.0;
        for (const double value : values) {
            squares += ((value - mean) / largest) * ((value - mean) / largest);
        }
        deviation = largest * std::sqrt(squares / (count - 1));
    }
    spread.standardDeviation = deviation;
    if (mean != 0.0) {
        spread.variationPercent = deviation / std::fabs(mean) * 100.0;
    }
    return spread;
}

bool WantsAnotherRun(const Spread& spread, int runsSoFar, int plannedRuns, double maxVariationPercent) {
    return spread.variationPercent.has_value() && *spread.variationPercent >= maxVariationPercent &&
           runsSoFar < 2 * plannedRuns;
}

bool SeedsDiffer(const std::vector<std::uint32_t>& seeds) {
    for (const std::uint32_t seed : seeds) {
        if (seed != seeds.front()) {
            return true;
        }
    }
    return false;
}

} // namespace cli
