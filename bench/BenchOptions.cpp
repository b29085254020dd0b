// The option tables and the composition of the game's command lines.
#include "bench/BenchOptions.h"

#include <initializer_list>

#include "res/resource.h"

namespace bench {

std::string FillTemplate(const char* templateText, std::initializer_list<const std::string*> values) {
    std::string text;
    auto next = values.begin();
    for (const char* c = templateText; *c != '\0'; ++c) {
        if (c[0] == '%' && c[1] == 's' && next != values.end()) {
            text += **next;
            ++next;
            ++c;
        } else {
            text += *c;
        }
    }
    return text;
}

const std::array<ResolutionRow, 5>& ResolutionTable() {
    static const std::array<ResolutionRow, 5> table = {{
        {IDC_MAIN_RES_640, "640x480"},
        {IDC_MAIN_RES_800, "800x600"},
        {IDC_MAIN_RES_1024, "1024x768"},
        {IDC_MAIN_RES_1280, "1280x1024"},
        {IDC_MAIN_RES_1600, "1600x1200"},
    }};
    return table;
}

const std::array<SceneRow, 6>& SceneTable() {
    static const std::array<SceneRow, 6> table = {{
        {0, IDC_MAIN_FLYBY1, "Flyby 1 - DM-Antalus", true,
         "%s dm-antalus?game=engine.gameinfo -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\flybyexec.txt %s -%s",
         "Flyby Scene 1: dm-Antalus", "flyby1"},
        {1, IDC_MAIN_FLYBY2, "Flyby 2 - DM-Asbestos", true,
         "%s dm-asbestos?game=engine.gameinfo -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\flybyexec.txt %s -%s",
         "Flyby Scene 2: dm-Asbestos", "flyby2"},
        {2, IDC_MAIN_FLYBY3, "Flyby 3 - CTF-Citadel", true,
         "%s ctf-citadel?game=engine.gameinfo -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\flybyexec.txt %s -%s",
         "Flyby Scene 3: CTF-Citadel", "flyby3"},
        {3, IDC_MAIN_BOTMATCH1, "Botmatch1 - DM-Antalus", false,
         "%s dm-antalus?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt %s -%s",
         "Botmatch Scene 1: dm-Antalus", "botmatch1"},
        {4, IDC_MAIN_BOTMATCH2, "Botmatch2 - DM-Asbestos", false,
         "%s dm-asbestos?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt %s -%s",
         "Botmatch Scene 2: dm-Asbestos", "botmatch2"},
        {5, IDC_MAIN_BOTMATCH3, "Botmatch3 - CTF-Citadel", false,
         "%s ctf-citadel?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt %s -%s",
         "Botmatch Scene 3: CTF-Citadel", "botmatch3"},
    }};
    return table;
}

const char* IniArgumentsTemplate(Renderer renderer, Detail detail) {
    if (renderer == Renderer::OpenGL) {
        return detail == Detail::High
                   ? "ini=%s\\MaxDetailOGL.ini userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT"
                   : "ini=%s\\MinDetailOGL.ini userini=..\\Benchmark\\Stuff\\MinDetailUser.ini -nosound -UPT";
    }
    return detail == Detail::High
               ? "ini=%s\\MaxDetailD3D.ini userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT"
               : "ini=%s\\MinDetailD3D.ini userini=..\\Benchmark\\Stuff\\MinDetailUser.ini -nosound -UPT";
}

std::string FormatIniArguments(Renderer renderer, Detail detail, const std::string& currentDirectory) {
    return FillTemplate(IniArgumentsTemplate(renderer, detail), {&currentDirectory});
}

std::optional<std::string> ComposeCommandLine(const SceneRow& scene, const std::string& gameExecutable,
                                              const std::string& iniArguments,
                                              const std::string& resolutionText) {
    std::string line =
        FillTemplate(scene.commandLineTemplate, {&gameExecutable, &iniArguments, &resolutionText});
    // The line goes to the system as a zero-terminated text in a fixed buffer: a
    // line that would not arrive whole is not passed at all.
    if (line.size() + 1 > kCommandLineBytes || line.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return line;
}

} // namespace bench
