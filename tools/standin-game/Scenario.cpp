// The stand-in game's command-line reading, settings, frame-rate model and texts.
#include "tools/standin-game/Scenario.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

namespace standin {
namespace {

char ToLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), ToLower);
    return lower;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> SplitBlanks(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsBlank(text[pos])) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < text.size() && !IsBlank(text[pos])) {
            ++pos;
        }
        if (pos > start) {
            words.push_back(text.substr(start, pos - start));
        }
    }
    return words;
}

// Position of `needle` in `text`, ignoring case; npos when absent.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0) {
    return Lower(text).find(Lower(needle), from);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == Lower(prefix);
}

// The command line without the program's path at its start.
std::string_view ArgumentsAfterProgram(std::string_view commandLine, std::string_view ownPath) {
    std::string_view line = Trim(commandLine);
    if (!line.empty() && line.front() == '"') {
        const std::size_t close = line.find('"', 1);
        return close == std::string_view::npos ? std::string_view() : line.substr(close + 1);
    }
    if (!ownPath.empty() && StartsWithNoCase(line, ownPath) &&
        (line.size() == ownPath.size() || IsBlank(line[ownPath.size()]))) {
        return line.substr(ownPath.size());
    }
    // A path with blanks ends at the first ".exe" that a blank or the end follows.
    for (std::size_t exe = FindNoCase(line, ".exe"); exe != std::string_view::npos;
         exe = FindNoCase(line, ".exe", exe + 1)) {
        const std::size_t after = exe + 4;
        if (after == line.size() || IsBlank(line[after])) {
            return line.substr(after);
        }
    }
    const std::vector<std::string_view> words = SplitBlanks(line);
    if (words.empty()) {
        return {};
    }
    return line.substr(static_cast<std::size_t>(words.front().data() - line.data()) + words.front().size());
}

// "-1024x768" gives 1024 and 768.
bool ParseResolution(std::string_view word, int& widthPx, int& heightPx) {
    if (word.size() < 4 || word.front() != '-') {
        return false;
    }
    word.remove_prefix(1);
    const std::size_t x = word.find_first_of("xX");
    if (x == std::string_view::npos || x == 0 || x + 1 == word.size()) {
        return false;
    }
    int width = 0;
    int height = 0;
    const char* widthEnd = word.data() + x;
    const char* heightEnd = word.data() + word.size();
    const auto widthResult = std::from_chars(word.data(), widthEnd, width);
    const auto heightResult = std::from_chars(widthEnd + 1, heightEnd, height);
    if (widthResult.ec != std::errc() || widthResult.ptr != widthEnd || heightResult.ec != std::errc() ||
        heightResult.ptr != heightEnd || width <= 0 || height <= 0) {
        return false;
    }
    widthPx = width;
    heightPx = height;
    return true;
}

template <typename Number> std::optional<Number> ParseNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    Number value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<Fault> ParseFault(std::string_view text) {
    static const std::pair<std::string_view, Fault> names[] = {
        {"none", Fault::None},
        {"no-write", Fault::NoWrite},
        {"empty-line", Fault::EmptyLine},
        {"no-number", Fault::NoNumber},
        {"fail-exit", Fault::FailExit},
        {"fail-no-write", Fault::FailNoWrite},
        {"hang", Fault::Hang},
        {"rewrite-same", Fault::RewriteSame},
    };
    const std::string name = Lower(Trim(text));
    for (const auto& [known, fault] : names) {
        if (name == known) {
            return fault;
        }
    }
    return std::nullopt;
}

// Section name -> key -> value, names and keys in lower case with single blanks.
using SettingsTable = std::map<std::string, std::map<std::string, std::string>>;

std::string NormalSectionName(std::string_view text) {
    std::string name;
    for (const std::string_view word : SplitBlanks(text)) {
        if (!name.empty()) {
            name += ' ';
        }
        name += Lower(word);
    }
    return name;
}

SettingsTable ParseSettings(std::string_view text) {
    SettingsTable table;
    std::string section;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            section =
                NormalSectionName(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        table[section][Lower(Trim(line.substr(0, equals)))] = std::string(Trim(line.substr(equals + 1)));
    }
    return table;
}

} // namespace

GameArguments ParseGameArguments(std::string_view commandLine, std::string_view ownPath) {
    GameArguments arguments;
    const std::string_view rest = ArgumentsAfterProgram(commandLine, ownPath);
    const std::vector<std::string_view> words = SplitBlanks(rest);

    for (const std::string_view word : words) {
        if (word.front() == '-') {
            continue;
        }
        const std::string_view map = word.substr(0, word.find('?'));
        if (!map.empty() && map.find('=') == std::string_view::npos) {
            arguments.map = Lower(map);
            break;
        }
    }

    if (FindNoCase(rest, "botmatchexec.txt") != std::string::npos) {
        arguments.kind = SceneKind::Botmatch;
    } else if (FindNoCase(rest, "flybyexec.txt") != std::string::npos) {
        arguments.kind = SceneKind::Flyby;
    }

    for (auto word = words.rbegin(); word != words.rend(); ++word) {
        if (ParseResolution(*word, arguments.widthPx, arguments.heightPx)) {
            break;
        }
    }

    // The renderer's ini file: "ini=<folder>\MaxDetailD3D.ini", the folder possibly with blanks
    // ("userini=" names the user ini file, not this one).
    const std::string lowerRest = Lower(rest);
    for (std::size_t ini = lowerRest.find("ini="); ini != std::string::npos;
         ini = lowerRest.find("ini=", ini + 1)) {
        if (ini != 0 && !IsBlank(lowerRest[ini - 1])) {
            continue;
        }
        const std::size_t fileEnd = lowerRest.find(".ini", ini + 4);
        if (fileEnd == std::string::npos) {
            break;
        }
        const std::string path = lowerRest.substr(ini + 4, fileEnd - (ini + 4));
        const std::size_t slash = path.find_last_of("\\/");
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        arguments.highDetail = name.find("min") == std::string::npos;
        arguments.renderer =
            (name.find("ogl") != std::string::npos || name.find("opengl") != std::string::npos)
                ? Renderer::OpenGL
                : Renderer::Direct3D;
        break;
    }
    return arguments;
}

double DefaultFps(const GameArguments& arguments) {
    // Frame rates at 1024x768, high detail, Direct3D, on a machine of the demo's days.
    struct MapRates {
        std::string_view map;
        double flybyFps;
        double botmatchFps;
    };
    static const MapRates rates[] = {
        {"dm-antalus", 118.43, 58.27},
        {"dm-asbestos", 139.61, 71.84},
        {"ctf-citadel", 101.12, 49.36},
    };
    double flybyFps = 112.5;
    double botmatchFps = 55.4;
    for (const MapRates& row : rates) {
        if (arguments.map == row.map) {
            flybyFps = row.flybyFps;
            botmatchFps = row.botmatchFps;
        }
    }

    // Fly-bys are bound by the graphics card, bot matches mostly by the processor.
    double fps = 86.0;
    double resolutionExponent = 0.35;
    double lowDetailGain = 1.15;
    double openGlFactor = 0.94;
    switch (arguments.kind) {
    case SceneKind::Flyby:
        fps = flybyFps;
        resolutionExponent = 0.42;
        lowDetailGain = 1.22;
        openGlFactor = 0.92;
        break;
    case SceneKind::Botmatch:
        fps = botmatchFps;
        resolutionExponent = 0.22;
        lowDetailGain = 1.12;
        openGlFactor = 0.95;
        break;
    case SceneKind::Other:
        break;
    }
    const double pixels = static_cast<double>(arguments.widthPx) * static_cast<double>(arguments.heightPx);
    fps *= std::pow(1024.0 * 768.0 / pixels, resolutionExponent);
    if (!arguments.highDetail) {
        fps *= lowDetailGain;
    }
    if (arguments.renderer == Renderer::OpenGL) {
        fps *= openGlFactor;
    }
    return std::round(fps * 1e6) / 1e6;
}

unsigned DefaultRandSeed(int startNumber) {
    const unsigned long long state = 1103515245ULL * static_cast<unsigned long long>(startNumber) + 12345ULL;
    return static_cast<unsigned>((state / 65536ULL) % 32768ULL);
}

Behaviour ChooseBehaviour(std::string_view settingsText, const GameArguments& arguments, int startNumber) {
    const SettingsTable table = ParseSettings(settingsText);
    std::vector<std::string> sections{"start " + std::to_string(startNumber)};
    if (!arguments.map.empty() && arguments.kind != SceneKind::Other) {
        sections.push_back((arguments.kind == SceneKind::Flyby ? "flyby " : "botmatch ") + arguments.map);
    }
    sections.emplace_back("all");

    // The value of `key` from the first section, in order of precedence, that holds it.
    const auto lookup = [&](const char* key) -> std::optional<std::string> {
        for (const std::string& section : sections) {
            const auto found = table.find(section);
            if (found == table.end()) {
                continue;
            }
            const auto value = found->second.find(key);
            if (value != found->second.end()) {
                return value->second;
            }
        }
        return std::nullopt;
    };

    Behaviour behaviour;
    behaviour.fps = DefaultFps(arguments);
    behaviour.randSeed = DefaultRandSeed(startNumber);
    if (const auto text = lookup("fps")) {
        behaviour.fps = ParseNumber<double>(*text).value_or(behaviour.fps);
    }
    if (const auto text = lookup("seconds")) {
        behaviour.seconds = std::max(0.0, ParseNumber<double>(*text).value_or(0.0));
    }
    if (const auto text = lookup("fault")) {
        behaviour.fault = ParseFault(*text).value_or(Fault::None);
    }
    if (const auto text = lookup("exitcode")) {
        behaviour.exitCode = ParseNumber<int>(*text).value_or(behaviour.exitCode);
    }
    if (const auto text = lookup("rand")) {
        behaviour.randSeed = ParseNumber<unsigned>(*text).value_or(behaviour.randSeed);
    }
    if (const auto text = lookup("line")) {
        behaviour.line = *text;
    }
    if (const auto text = lookup("linebytes")) {
        behaviour.lineBytes = ParseNumber<std::size_t>(*text).value_or(0);
    }
    return behaviour;
}

std::string ResultLine(const Behaviour& behaviour) {
    const std::string line =
        behaviour.line.empty() ? FormatResultLine(behaviour.fps, behaviour.randSeed) : behaviour.line;
    return std::string(behaviour.lineBytes > line.size() ? behaviour.lineBytes - line.size() : 0, 'x') + line;
}

std::string FormatResultLine(double fps, unsigned randSeed) {
    // The slowest and fastest frames lie around the average as in the engine's own logs.
    const double minFps = fps * (0.46 + 0.01 * static_cast<double>(randSeed % 13));
    const double maxFps = fps * (1.85 + 0.04 * static_cast<double>(randSeed % 11));
    char line[256];
    std::snprintf(line, sizeof line, "%.6f / %.6f / %.6f fps -- Score = %.6f        rand[%u]", minFps, fps,
                  maxFps, fps, randSeed);
    return line;
}

std::string NoNumberLine() {
    return "Benchmark ended without a frame rate";
}

std::string FormatRecordLine(unsigned long priorityClass, std::string_view currentDirectory,
                             std::string_view commandLine) {
    char priority[16];
    std::snprintf(priority, sizeof priority, "%08lX", priorityClass);
    std::string line = "start|";
    line += priority;
    line += '|';
    line += currentDirectory;
    line += '|';
    line += commandLine;
    return line;
}

int CountLines(std::string_view text) {
    const auto count = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    return (!text.empty() && text.back() != '\n') ? count + 1 : count;
}

} // namespace standin
