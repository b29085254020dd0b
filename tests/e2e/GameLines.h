// What Korvane must hand the game: the six scenes with their check boxes, and the
// command line each scene's start must receive, written out here on their own
// so that the tests compare Korvane's lines with an independent account.
#pragma once

#include <string>

namespace e2e {

struct SceneInfo {
    int index;      // the scene's place in the run's order
    int checkBoxId; // its check box in the main window
    const char* checkBoxText;
    const char* map;        // as the command line and the stand-in's settings name it
    bool botMatch;          // a bot match rather than a fly-by
    const char* detailsRow; // its row in the details list
};

constexpr int kSceneCount = 6;
const SceneInfo& Scene(int index);

enum class Renderer { Direct3D, OpenGL };
enum class Detail { High, Low };

struct LineOptions {
    Renderer renderer = Renderer::Direct3D;
    Detail detail = Detail::High;
    std::string resolution = "1024x768";
};

// The command line of scene `index` for a demo installed in `gameFolder` (the
// registry's "Folder", character for character) and Korvane running in `korvaneFolder`.
std::string ExpectedGameLine(const std::string& gameFolder, const std::string& korvaneFolder, int index,
                             const LineOptions& options = LineOptions());

// The stand-in's settings section for scene `index`: "[flyby dm-antalus]" and so on.
std::string SettingsSection(int index);

// Frame rates for scenes 0 to 5 at rounding edges of the score arithmetic: the
// float running sums decide the last digit of the result window's texts. Kept
// unrounded, the score and both averages would each come out one step higher
// ("8074 ", "94.52 fps", "66.96 fps "); the details list's overall, the sum of
// the six stored floats, is "8074 Korvanes", one more than the window's score. The i686 build
// (x87, 53-bit precision, stored floats) and the x86_64 build (SSE) must both
// give the texts below.
extern const char* const kRoundingEdgeFps[kSceneCount];
constexpr char kRoundingEdgeScore[] = "8073 ";
constexpr char kRoundingEdgeFlyby[] = "94.51 fps";
constexpr char kRoundingEdgeBotmatch[] = "66.95 fps ";
constexpr char kRoundingEdgeOverall[] = "8074 Korvanes";
extern const char* const kRoundingEdgeSceneTexts[kSceneCount];
// The stand-in's settings that report them.
std::string RoundingEdgeSettings();

} // namespace e2e
