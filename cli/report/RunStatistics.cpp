// Mean, deviation, variation and the repeat rule.
#include "cli/report/RunStatistics.h"

#include <cmath>

namespace cli {

Spread SpreadOf(const std::vector<double>& values) {
    Spread spread;
    spread.count = values.size();
    if (values.empty()) {
        return spread;
    }
    double sum = 0.0;
    for (const double value : values) {
        sum += value;
    }
    const double mean = sum / static_cast<double>(values.size());
    spread.mean = mean;
    if (values.size() < 2) {
        return spread;
    }
    // The squares are taken around the mean, not as sums of squares minus the
    // squared sum, which loses every digit for values close together.
    double squares = 0.0;
    for (const double value : values) {
        squares += (value - mean) * (value - mean);
    }
    const double deviation = std::sqrt(squares / static_cast<double>(values.size() - 1));
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
