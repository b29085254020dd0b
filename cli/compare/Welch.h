// The difference of two sets of runs with its 95 % confidence interval: Welch's
// t-interval of the difference of the means, over the base mean. Platform-free.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "cli/report/RunStatistics.h"

namespace cli {

// The difference of two sets of values, the newer against the base.
struct Difference {
    Spread base, newer;
    double percent = 0.0; // (newer mean - base mean) / base mean * 100
    // The 95 % interval of `percent`: Welch's interval of the difference of the
    // means, over the base mean. None when either side has one value, neither
    // has any spread, or the values are too large for the arithmetic of an
    // interval; `noInterval` says which.
    std::optional<double> low, high, degreesOfFreedom;
    const char* noInterval = nullptr;
};

// Welch-Satterthwaite degrees of freedom of two samples with these variances
// (of the values, n - 1) and sizes; both sizes at least 2, the variances not both 0.
double WelchDegreesOfFreedom(double baseVariance, std::size_t baseCount, double newVariance,
                             std::size_t newCount);

// The t value that leaves 2.5 % above it, for `degreesOfFreedom` (above 0).
double StudentT975(double degreesOfFreedom);

// None when either side has no value, the base mean is 0, or the difference in
// percent is too large for a double.
std::optional<Difference> CompareValues(const std::vector<double>& base, const std::vector<double>& newer);

// +1 when the interval lies wholly above zero, -1 wholly below, 0 otherwise (or none).
int Direction(const std::optional<Difference>& difference);

// True when `difference` is lower by more than `percent` and its interval lies wholly below zero.
bool FallsBelow(const Difference& difference, double percent);

} // namespace cli
