// The options of a benchmark run and the game command lines they give: the
// resolution, renderer/detail and scene tables, and the composition of one
// scene's command line. Platform-free: the window side reads the controls and
// the current directory and hands the texts in here.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>

namespace bench {

enum class Renderer { OpenGL, Direct3D };
enum class Detail { High, Low };

// The resolutions, smallest first: the main window's radios in the order they
// are tested (the first checked one wins), and the order of a sweep.
const std::array<const char*, 5>& ResolutionTable();

// One benchmark scene. `index` is also the scene's slot among the six frame rates.
// The template's three "%s" take the game executable, the ini arguments and the
// resolution text, in that order; its "-seconds=" asks the game for
// `lengthSeconds` of benchmark. The check box's text is the resource script's
// too (the end-to-end tests read it off the window); the details list names the
// scene by `detailsRowText`.
struct SceneRow {
    int index;
    const char* checkBoxText;
    bool isFlyby;
    const char* commandLineTemplate;
    int lengthSeconds;
    const char* detailsRowText;
};

// The six scenes in run order: three fly-bys, then three bot matches.
const std::array<SceneRow, 6>& SceneTable();

// Size of the command-line buffer handed to the system, terminating zero included.
constexpr std::size_t kCommandLineBytes = 280;
// Size of the buffer that receives the program's current directory.
constexpr std::size_t kCurrentDirectoryBytes = 200;

// Puts `values` in place of the template's "%s" markers, one after the other.
// The values are copied as they are: a '%' inside a folder name stays a '%'.
// Every other character of the template is copied unchanged. No length limit.
std::string FillTemplate(const char* templateText, std::initializer_list<const std::string*> values);

// The ini arguments' template for a renderer and detail level; its one "%s"
// takes the program's current directory.
const char* IniArgumentsTemplate(Renderer renderer, Detail detail);

// The renderer's ini file that template names in the current directory: "MaxDetailD3D.ini" ...
std::string RendererIniFile(Renderer renderer, Detail detail);

// The ini arguments with the current directory put in, unchanged.
std::string FormatIniArguments(Renderer renderer, Detail detail, const std::string& currentDirectory);

// The scene's command line, or std::nullopt when it (with its terminating zero)
// would not fit kCommandLineBytes, or when a value holds a zero byte that would
// end the line early. Never truncated. The three values are inserted unchanged,
// unquoted, in the order the template takes them.
std::optional<std::string> ComposeCommandLine(const SceneRow& scene, const std::string& gameExecutable,
                                              const std::string& iniArguments,
                                              const std::string& resolutionText);

} // namespace bench
