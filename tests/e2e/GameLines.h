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

// The stand-in's settings for frame rates at the rounding edges of the score
// arithmetic (102.839365, 32.142131, 148.563505, 95.946027, 74.610574, 30.308400):
// the float running sums decide the last digit of the window's texts.
std::string RoundingEdgeSettings();

} // namespace e2e
