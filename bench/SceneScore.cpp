// Running sums, score and averages of one benchmark press.
#include "bench/SceneScore.h"

#include "framework/Format.h"

namespace bench {

void SceneResults::StartPress() {
    scenesRun = 0;
    runTotal = 0.0f;
    flybyTotal = 0.0f;
    botmatchTotal = 0.0f;
}

void SceneResults::RecordScene(int index, double value) {
    sceneFps[static_cast<std::size_t>(index)] = static_cast<float>(value);
    // The sum is formed in double and only then rounded into the float total;
    // the bot-match sum is taken from that unrounded sum.
    const double sum = value + static_cast<double>(runTotal);
    runTotal = static_cast<float>(sum);
    ++scenesRun;
    if (index == kLastFlybyIndex) {
        flybyTotal = runTotal;
    }
    if (index == kLastBotmatchIndex) {
        botmatchTotal = static_cast<float>(sum - static_cast<double>(flybyTotal));
    }
}

double RunScore(const SceneResults& run) {
    return static_cast<double>(run.runTotal) * static_cast<double>(kOneSixth) *
           static_cast<double>(kScoreScale);
}

double FlybyAverage(const SceneResults& run) {
    return static_cast<double>(run.flybyTotal) * static_cast<double>(kOneThird);
}

double BotmatchAverage(const SceneResults& run) {
    return static_cast<double>(run.botmatchTotal) * static_cast<double>(kOneThird);
}

ResultTexts FormatResultTexts(const SceneResults& run) {
    if (!run.AllScenesRun()) {
        return {"N/A ", "N/A ", "N/A "};
    }
    return {framework::Format("%1.0f ", RunScore(run)), framework::Format("%1.2f fps", FlybyAverage(run)),
            framework::Format("%1.2f fps ", BotmatchAverage(run))};
}

} // namespace bench
