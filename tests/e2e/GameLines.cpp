// The scenes and the game command lines the tests expect.
#include "GameLines.h"

#include "res/resource.h"

namespace e2e {

namespace {

const SceneInfo kScenes[kSceneCount] = {
    {0, IDC_MAIN_FLYBY1, "Flyby 1 - DM-Antalus", "dm-antalus", false, "Flyby Scene 1: dm-Antalus"},
    {1, IDC_MAIN_FLYBY2, "Flyby 2 - DM-Asbestos", "dm-asbestos", false, "Flyby Scene 2: dm-Asbestos"},
    {2, IDC_MAIN_FLYBY3, "Flyby 3 - CTF-Citadel", "ctf-citadel", false, "Flyby Scene 3: CTF-Citadel"},
    {3, IDC_MAIN_BOTMATCH1, "Botmatch1 - DM-Antalus", "dm-antalus", true, "Botmatch Scene 1: dm-Antalus"},
    {4, IDC_MAIN_BOTMATCH2, "Botmatch2 - DM-Asbestos", "dm-asbestos", true, "Botmatch Scene 2: dm-Asbestos"},
    {5, IDC_MAIN_BOTMATCH3, "Botmatch3 - CTF-Citadel", "ctf-citadel", true, "Botmatch Scene 3: CTF-Citadel"},
};

} // namespace

const SceneInfo& Scene(int index) {
    return kScenes[index];
}

std::string ExpectedGameLine(const std::string& gameFolder, const std::string& korvaneFolder, int index,
                             const LineOptions& options) {
    const SceneInfo& scene = Scene(index);
    const std::string level = options.detail == Detail::High ? "Max" : "Min";
    const std::string renderer = options.renderer == Renderer::OpenGL ? "OGL" : "D3D";
    std::string line = gameFolder + "\\system\\UT2003.exe ";
    line += scene.map;
    line += scene.botMatch ? "?spectatoronly=true?numbots=12?quickstart=true" : "?game=engine.gameinfo";
    line += " -benchmark -seconds=77 -exec=..\\Benchmark\\Stuff\\";
    line += scene.botMatch ? "botmatchexec.txt" : "flybyexec.txt";
    line += " ini=" + korvaneFolder + "\\" + level + "Detail" + renderer + ".ini";
    line += " userini=..\\Benchmark\\Stuff\\" + level + "DetailUser.ini -nosound -UPT";
    line += " -" + options.resolution;
    return line;
}

std::string SettingsSection(int index) {
    const SceneInfo& scene = Scene(index);
    return std::string("[") + (scene.botMatch ? "botmatch " : "flyby ") + scene.map + "]";
}

std::string RoundingEdgeSettings() {
    std::string settings;
    for (int index = 0; index < kSceneCount; ++index) {
        static const char* const fps[kSceneCount] = {"102.839365", "32.142131", "148.563505",
                                                     "95.946027",  "74.610574", "30.308400"};
        settings += SettingsSection(index) + "\r\nfps=" + fps[index] + "\r\n";
    }
    return settings;
}

} // namespace e2e
