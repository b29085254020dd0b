// The benchmark details list's rows.
#include "bench/DetailsRows.h"

#include "bench/BenchOptions.h"
#include "bench/SceneScore.h"
#include "framework/Format.h"

namespace bench {

double OverallScore(const float* sceneResults, std::uint8_t allScenesRun) {
    if (allScenesRun == 0 || sceneResults == nullptr) {
        return 0.0;
    }
    double sum = 0.0;
    for (int i = 0; i < kSceneCount; ++i) {
        sum += static_cast<double>(sceneResults[i]);
    }
    return sum * static_cast<double>(kOneSixth) * static_cast<double>(kScoreScale);
}

std::vector<DetailsRow> BuildDetailsRows(const float* sceneResults, std::uint8_t allScenesRun,
                                         const std::string& korvaneVersion) {
    std::vector<DetailsRow> rows;
    rows.reserve(7 + kSceneCount);
    rows.push_back({"", std::nullopt});
    rows.push_back({"Korvane Version", korvaneVersion});
    rows.push_back({"UT2003 Demo Version", "1077"});
    rows.push_back(
        {"Korvane Overall", framework::Format("%1.0f Korvanes", OverallScore(sceneResults, allScenesRun))});
    rows.push_back({"", std::nullopt});
    rows.push_back({"BENCHMARK DETAILS", std::nullopt});
    rows.push_back({"", std::nullopt});
    for (int i = 0; i < kSceneCount; ++i) {
        const float fps = sceneResults != nullptr ? sceneResults[i] : 0.0f;
        rows.push_back({SceneTable()[static_cast<std::size_t>(i)].detailsRowText,
                        framework::Format("%1.2f fps", static_cast<double>(fps))});
    }
    return rows;
}

} // namespace bench
