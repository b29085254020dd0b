// The rows of the benchmark details list: versions, the overall score and each
// scene's frame rate. Platform-free: the window side puts the rows into the list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// One row: the "Item" column, and the "Description" column when the row has one.
struct DetailsRow {
    std::string item;
    std::optional<std::string> description;
};

// 100 times the mean of the six stored frame rates, in double; 0 unless all six
// scenes ran in the latest press. `sceneResults` points to the six values.
double OverallScore(const float* sceneResults, std::uint8_t allScenesRun);

// The 13 rows of the list, in order, with `korvaneVersion` on the version row.
// `sceneResults` points to the six values; a null pointer (no run yet) reads as
// six zeros.
std::vector<DetailsRow> BuildDetailsRows(const float* sceneResults, std::uint8_t allScenesRun,
                                         const std::string& korvaneVersion);

} // namespace bench
