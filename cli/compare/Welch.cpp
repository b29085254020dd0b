// Welch's interval, with the t quantiles of Boost.Math.
#include "cli/compare/Welch.h"

#include <cmath>

// Boost.Math's root finders include <iostream> for their instrumented builds'
// output alone. Its set-up of the standard streams would make korvane-cli import
// msvcrt's _fstat64, which Windows 98 lacks, so the header is kept out; the
// streams are never used.
#include <istream>
#include <ostream>
#define _GLIBCXX_IOSTREAM 1 // NOLINT(bugprone-reserved-identifier): libstdc++'s own guard
// Its errors come back as values, not as exceptions whose messages are formatted
// with string streams, which would bring the whole of libstdc++'s locale code.
// The inputs are checked before they reach it.
#define BOOST_MATH_DOMAIN_ERROR_POLICY errno_on_error
#define BOOST_MATH_POLE_ERROR_POLICY errno_on_error
#define BOOST_MATH_OVERFLOW_ERROR_POLICY errno_on_error
#define BOOST_MATH_EVALUATION_ERROR_POLICY errno_on_error
#define BOOST_MATH_ROUNDING_ERROR_POLICY errno_on_error
#include <boost/math/distributions/students_t.hpp>

namespace cli {

namespace {

constexpr char kValuesTooLarge[] = "values too large for an interval";

} // namespace

double WelchDegreesOfFreedom(double baseVariance, std::size_t baseCount, double newVariance,
                             std::size_t newCount) {
    const double base = baseVariance / static_cast<double>(baseCount);
    const double newer = newVariance / static_cast<double>(newCount);
    return (base + newer) * (base + newer) /
           (base * base / static_cast<double>(baseCount - 1) +
            newer * newer / static_cast<double>(newCount - 1));
}

double StudentT975(double degreesOfFreedom) {
    return boost::math::quantile(boost::math::students_t_distribution<double>(degreesOfFreedom), 0.975);
}

std::optional<Difference> CompareValues(const std::vector<double>& base, const std::vector<double>& newer) {
    Difference difference;
    difference.base = SpreadOf(base);
    difference.newer = SpreadOf(newer);
    if (!difference.base.mean || !difference.newer.mean || *difference.base.mean == 0.0) {
        return std::nullopt;
    }
    const double baseMean = *difference.base.mean;
    const double change = *difference.newer.mean - baseMean;
    difference.percent = change / baseMean * 100.0;
    if (!std::isfinite(difference.percent)) {
        return std::nullopt;
    }
    if (base.size() < 2 || newer.size() < 2) {
        difference.noInterval = "one run";
        return difference;
    }
    const double baseVariance = *difference.base.standardDeviation * *difference.base.standardDeviation;
    const double newVariance = *difference.newer.standardDeviation * *difference.newer.standardDeviation;
    const double standardError = std::sqrt(baseVariance / static_cast<double>(base.size()) +
                                           newVariance / static_cast<double>(newer.size()));
    if (standardError == 0.0) {
        difference.noInterval = "no spread";
        return difference;
    }
    const double degreesOfFreedom =
        WelchDegreesOfFreedom(baseVariance, base.size(), newVariance, newer.size());
    if (!std::isfinite(standardError) || !std::isfinite(degreesOfFreedom) || degreesOfFreedom <= 0.0) {
        difference.noInterval = kValuesTooLarge;
        return difference;
    }
    const double margin = StudentT975(degreesOfFreedom) * standardError;
    const double low = (change - margin) / baseMean * 100.0;
    const double high = (change + margin) / baseMean * 100.0;
    if (!std::isfinite(low) || !std::isfinite(high)) {
        difference.noInterval = kValuesTooLarge;
        return difference;
    }
    difference.degreesOfFreedom = degreesOfFreedom;
    difference.low = low;
    difference.high = high;
    return difference;
}

int Direction(const std::optional<Difference>& difference) {
    if (!difference || !difference->low) {
        return 0;
    }
    return *difference->low > 0.0 ? 1 : *difference->high < 0.0 ? -1 : 0;
}

bool FallsBelow(const Difference& difference, double percent) {
    return difference.percent < -percent && difference.high && *difference.high < 0.0;
}

} // namespace cli
