// The arithmetic of one press of "BENCHMARK NOW!": each scene's frame rate is
// stored and summed as it ends, and the score and the two averages are turned
// into the texts of the result window. Platform-free.
#pragma once

#include <array>
#include <string>

namespace bench {

constexpr int kSceneCount = 6;

// Factors of the score and the averages: 32-bit floats, used widened to double.
constexpr float kOneSixth = 0.16666667f; // bits 0x3E2AAAAB
constexpr float kScoreScale = 100.0f;    // bits 0x42C80000
constexpr float kOneThird = 0.33333334f; // bits 0x3EAAAAAB
// The scene indexes after which the fly-by sum and the bot-match sum are taken.
constexpr int kLastFlybyIndex = 2;
constexpr int kLastBotmatchIndex = 5;

// The six frame rates, with the sums of the latest press that the score is
// computed from. The main window keeps one for the life of the program; each of
// korvane-cli's rounds has its own.
struct SceneResults {
    // Per scene index, the frame rate of the last press that ran the scene,
    // rounded to a float; 0.0 until then. A press changes only the slots it runs.
    std::array<float, kSceneCount> sceneFps{};

    // The working values of the latest press, zeroed by StartPress.
    int scenesRun = 0;
    float runTotal = 0.0f;
    float flybyTotal = 0.0f;
    float botmatchTotal = 0.0f;

    // Zeroes the working values; the frame rates keep theirs.
    void StartPress();
    // Stores `value` in sceneFps[index] as a float, adds it (unrounded) to the
    // running sum, counts the scene, and takes the fly-by sum after the third
    // fly-by and the bot-match sum after the third bot match.
    void RecordScene(int index, double value);
    bool AllScenesRun() const { return scenesRun == kSceneCount; }
};

// Score in Korvanes: the running sum times one sixth times 100, in double.
double RunScore(const SceneResults& run);
// The fly-by and bot-match averages: their sums times one third, in double.
double FlybyAverage(const SceneResults& run);
double BotmatchAverage(const SceneResults& run);

// The three texts of the result window.
struct ResultTexts {
    std::string score;
    std::string flybyAverage;
    std::string botmatchAverage;
};

// "%1.0f " of the score, "%1.2f fps" and "%1.2f fps " of the averages when all
// six scenes ran; "N/A " for each otherwise.
ResultTexts FormatResultTexts(const SceneResults& run);

} // namespace bench
