// The stand-in game's decisions, free of any platform call: what its command line
// asks for, what its settings file says for this start, the frame rate it reports
// and the exact texts it writes.
#pragma once

#include <string>
#include <string_view>

namespace standin {

enum class SceneKind { Other, Flyby, Botmatch };
enum class Renderer { Direct3D, OpenGL };

// What happens after the run's time is over.
enum class Fault {
    None,        // append a result line
    NoWrite,     // exit 0 without touching the log
    EmptyLine,   // append a result line, then an empty line
    NoNumber,    // append a line with no "=" and no digit
    FailExit,    // append a result line, then exit with the failure code
    FailNoWrite, // exit with the failure code without touching the log
    Hang,        // never exit, never write
    RewriteSame, // write the log's content back unchanged, so only its time changes
};

// The parts of the game's command line the stand-in looks at.
struct GameArguments {
    std::string map; // lower case, as before the first "?" of the map URL; empty when none
    SceneKind kind = SceneKind::Other;
    int widthPx = 1024;
    int heightPx = 768;
    bool highDetail = true;
    Renderer renderer = Renderer::Direct3D;
};

// Reads `commandLine` as the game received it. `ownPath` is the executable's own
// path, which the command line normally starts with (unquoted, possibly with blanks).
GameArguments ParseGameArguments(std::string_view commandLine, std::string_view ownPath);

// What this start does.
struct Behaviour {
    double fps = 0.0;
    double seconds = 0.0;
    Fault fault = Fault::None;
    int exitCode = 1;
    unsigned randSeed = 0;
    std::string line;          // "line=": written instead of the engine's result line, as it stands
    std::size_t lineBytes = 0; // "linebytes=": the result line made this long with x's in front
};

// The result line this start writes, without its line end: the settings' line
// or the engine's, padded in front to `lineBytes`.
std::string ResultLine(const Behaviour& behaviour);

// Applies the settings file's text: per key, section [start <n>] wins over the
// scene's section ([flyby <map>] or [botmatch <map>]), which wins over [all];
// keys missing everywhere (or not readable) take their defaults.
Behaviour ChooseBehaviour(std::string_view settingsText, const GameArguments& arguments, int startNumber);

// The frame rate reported when the settings name none: depends on map, scene kind,
// resolution, detail and renderer only.
double DefaultFps(const GameArguments& arguments);

// The random seed reported when the settings name none.
unsigned DefaultRandSeed(int startNumber);

// "<min> / <avg> / <max> fps -- Score = <score>        rand[<n>]" without its line end.
std::string FormatResultLine(double fps, unsigned randSeed);

// The line written for Fault::NoNumber, without its line end.
std::string NoNumberLine();

// "start|<priority class, 8 hex digits>|<directory>|<command line>" without its line end.
std::string FormatRecordLine(unsigned long priorityClass, std::string_view currentDirectory,
                             std::string_view commandLine);

// The number of lines in `text`; a last line without a line end counts too.
int CountLines(std::string_view text);

} // namespace standin
