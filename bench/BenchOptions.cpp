// The option tables and the composition of the game's command lines.
#include "bench/BenchOptions.h"

#include <initializer_list>

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

const std::array<const char*, 5>& ResolutionTable() {
    static const std::array<const char*, 5> table = {"640x480", "800x600", "1024x768", "1280x1024",
                                                     "1600x1200"};
    return table;
}

const std::array<SceneRow, 6>& SceneTable() {
    static const std::array<SceneRow, 6> table = {{
        {0, "Flyby 1 - DM-Antalus", true,
         "%s dm-antalus?game=engine.gameinfo -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\flybyexec.txt %s -%s",
         77, "Flyby Scene 1: dm-Antalus"},
        {1, "Flyby 2 - DM-Asbestos", true,
         "%s dm-asbestos?game=engine.gameinfo -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\flybyexec.txt %s -%s",
         77, "Flyby Scene 2: dm-Asbestos"},
        {2, "Flyby 3 - CTF-Citadel", true,
         "%s ctf-citadel?game=engine.gameinfo -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\flybyexec.txt %s -%s",
         77, "Flyby Scene 3: CTF-Citadel"},
        {3, "Botmatch1 - DM-Antalus", false,
         "%s dm-antalus?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt %s -%s",
         77, "Botmatch Scene 1: dm-Antalus"},
        {4, "Botmatch2 - DM-Asbestos", false,
         "%s dm-asbestos?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt %s -%s",
         77, "Botmatch Scene 2: dm-Asbestos"},
        {5, "Botmatch3 - CTF-Citadel", false,
         "%s ctf-citadel?spectatoronly=true?numbots=12?quickstart=true -benchmark -seconds=77 "
         "-exec=..\\Benchmark\\Stuff\\botmatchexec.txt %s -%s",
         77, "Botmatch Scene 3: CTF-Citadel"},
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

std::string RendererIniFile(Renderer renderer, Detail detail) {
    // "ini=%s\<file> userini=...": the name between the directory and the blank.
    const std::string arguments = IniArgumentsTemplate(renderer, detail);
    const std::size_t start = arguments.find("%s\\") + 3;
    return arguments.substr(start, arguments.find(' ') - start);
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
