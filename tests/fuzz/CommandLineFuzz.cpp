// Fuzz target: the game command lines, given exactly when they fit 280 bytes with
// no zero byte in a value, as printf fills the templates ('%' in a value is no format).
#include <optional>

#include "FuzzSupport.h"
#include "bench/BenchOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input{data, size};
    // Flags: 1 OpenGL, 2 High, 4 keep zero bytes; resolution choice: the table, none, or text.
    const auto [scene, flags, resolutionChoice, resolutionLength, folderLength, directoryLength] =
        std::array{input.Take() % 6,  input.Take(),        input.Take() % 7,
                   input.Take() % 20, input.Take(2) % 330, input.Take(2) % 330};
    const std::string bytes = input.Rest() + "a";
    std::string pool; // the texts' bytes, taken round as often as needed
    for (std::size_t i = 0; i < 700; ++i) {
        pool += bytes[i % bytes.size()] != '\0' || (flags & 4) != 0 ? bytes[i % bytes.size()] : '_';
    }
    const std::string folder = pool.substr(0, folderLength);
    const std::string directory = pool.substr(folderLength, directoryLength);
    const std::string resolution = resolutionChoice < 5
                                       ? bench::ResolutionTable()[resolutionChoice]
                                       : pool.substr(0, resolutionChoice == 6 ? resolutionLength : 0);
    const auto renderer = (flags & 1) != 0 ? bench::Renderer::OpenGL : bench::Renderer::Direct3D;
    const auto detail = (flags & 2) != 0 ? bench::Detail::High : bench::Detail::Low;
    const std::string executable = folder + "\\system\\UT2003.exe";
    const bool holdsZero = (folder + directory + resolution).find('\0') != std::string::npos;

    const auto printed = [](const char* format, const auto& a, const auto& b, const auto& c) {
        char line[4096]; // room for the longest values
        return std::string(line, std::snprintf(line, sizeof line, format, a.c_str(), b.c_str(), c.c_str()));
    };
    const std::string ini = bench::FormatIniArguments(renderer, detail, directory);
    const char* const iniTemplate = bench::IniArgumentsTemplate(renderer, detail); // printf uses one value
    FUZZ_CHECK(holdsZero || ini == printed(iniTemplate, directory, directory, directory));
    const bench::SceneRow& row = bench::SceneTable()[scene];
    const std::string expected = printed(row.commandLineTemplate, executable, ini, resolution);
    const std::optional<std::string> line = bench::ComposeCommandLine(row, executable, ini, resolution);
    FUZZ_CHECK(line.has_value() == (expected.size() < bench::kCommandLineBytes && !holdsZero));
    FUZZ_CHECK(!line || *line == expected);
    return 0;
}
