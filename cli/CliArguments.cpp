// korvane-cli's options.
#include "cli/CliArguments.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>

#include "framework/Format.h"

namespace cli {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// A whole decimal number from `low` to `high`, digits only.
std::optional<int> WholeNumber(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> SceneFromName(const std::string& item) {
    const std::string name = Lower(item);
    for (int index = 0; index < bench::kSceneCount; ++index) {
        if (name == bench::SceneTable()[static_cast<std::size_t>(index)].argumentName) {
            return index;
        }
    }
    return WholeNumber(name, 0, bench::kSceneCount - 1);
}

constexpr char kListWords[] = " (or a list of them separated by commas, or all)";

// The options that take a value.
const char* const kValueOptions[] = {"--renderer", "--detail", "--resolution", "--scenes", "--runs",
                                     "--timeout",  "--json",   "--csv",        "--html"};

bool TakesValue(const std::string& name) {
    for (const char* option : kValueOptions) {
        if (name == option) {
            return true;
        }
    }
    return false;
}

class Parser {
public:
    explicit Parser(ParsedArguments& parsed) : parsed_(parsed) {}

    // False once an error has been set.
    bool Option(const std::string& name, const std::string& value) {
        for (const std::string& seen : seen_) {
            if (seen == name) {
                return Fail(framework::Format("%s is given more than once", name.c_str()));
            }
        }
        seen_.push_back(name);
        CliOptions& options = parsed_.options;
        if (name == "--renderer") {
            const std::optional<std::vector<int>> chosen = Items(value, {"opengl", "d3d"});
            if (!chosen) {
                return Fail(framework::Format("--renderer takes d3d or opengl%s, not \"%s\"", kListWords,
                                              bad_.c_str()));
            }
            options.renderers.clear();
            for (const int item : *chosen) {
                options.renderers.push_back(item == 0 ? bench::Renderer::OpenGL : bench::Renderer::Direct3D);
            }
        } else if (name == "--detail") {
            const std::optional<std::vector<int>> chosen = Items(value, {"high", "low"});
            if (!chosen) {
                return Fail(
                    framework::Format("--detail takes high or low%s, not \"%s\"", kListWords, bad_.c_str()));
            }
            options.details.clear();
            for (const int item : *chosen) {
                options.details.push_back(item == 0 ? bench::Detail::High : bench::Detail::Low);
            }
        } else if (name == "--resolution") {
            std::vector<std::string> names;
            for (const bench::ResolutionRow& row : bench::ResolutionTable()) {
                names.emplace_back(row.text);
            }
            const std::optional<std::vector<int>> chosen = Items(value, names);
            if (!chosen) {
                return Fail(framework::Format("--resolution takes 640x480, 800x600, 1024x768, 1280x1024 or "
                                              "1600x1200%s, not \"%s\"",
                                              kListWords, bad_.c_str()));
            }
            options.resolutions.clear();
            for (const int item : *chosen) {
                options.resolutions.push_back(names[static_cast<std::size_t>(item)]);
            }
        } else if (name == "--scenes") {
            return Scenes(value);
        } else if (name == "--runs") {
            const std::optional<int> runs = WholeNumber(value, 1, kMaxRuns);
            if (!runs) {
                return Fail(framework::Format("--runs takes a whole number from 1 to %d, not \"%s\"",
                                              kMaxRuns, value.c_str()));
            }
            options.runs = *runs;
        } else if (name == "--timeout") {
            const std::optional<int> seconds = WholeNumber(value, 1, kMaxTimeoutSeconds);
            if (!seconds) {
                return Fail(framework::Format("--timeout takes whole seconds from 1 to %d, not \"%s\"",
                                              kMaxTimeoutSeconds, value.c_str()));
            }
            options.timeoutSeconds = *seconds;
        } else if (name == "--json" || name == "--csv" || name == "--html") {
            if (value.empty()) {
                return Fail(framework::Format("%s needs a file name", name.c_str()));
            }
            (name == "--json"  ? options.jsonPath
             : name == "--csv" ? options.csvPath
                               : options.htmlPath) = value;
        }
        return true;
    }

    bool Fail(const std::string& error) {
        parsed_.error = error;
        return false;
    }

private:
    // The items of a comma list, or all of them for "all", as indexes into
    // `names` in that order, each once; none when an item is unknown (`bad_`).
    std::optional<std::vector<int>> Items(const std::string& value, const std::vector<std::string>& names) {
        const bool all = Lower(value) == "all";
        std::vector<bool> chosen(names.size(), all);
        for (std::size_t start = 0; !all;) {
            const std::size_t comma = value.find(',', start);
            bad_ = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            const std::string item = Lower(bad_);
            std::size_t index = 0;
            while (index < names.size() && names[index] != item) {
                ++index;
            }
            if (index == names.size()) {
                return std::nullopt;
            }
            chosen[index] = true;
            if (comma == std::string::npos) {
                break;
            }
            start = comma + 1;
        }
        std::vector<int> items;
        for (std::size_t index = 0; index < names.size(); ++index) {
            if (chosen[index]) {
                items.push_back(static_cast<int>(index));
            }
        }
        return items;
    }

    bool Scenes(const std::string& value) {
        std::array<bool, bench::kSceneCount> chosen{};
        if (Lower(value) == "all") {
            chosen.fill(true);
        } else {
            std::size_t start = 0;
            for (;;) {
                const std::size_t comma = value.find(',', start);
                const std::string item =
                    value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                const std::optional<int> scene = SceneFromName(item);
                if (!scene) {
                    return Fail(framework::Format("--scenes: \"%s\" is no scene; give all, or names (flyby1, "
                                                  "flyby2, flyby3, botmatch1, botmatch2, botmatch3) or "
                                                  "indexes (0 to 5) separated by commas",
                                                  item.c_str()));
                }
                chosen[static_cast<std::size_t>(*scene)] = true;
                if (comma == std::string::npos) {
                    break;
                }
                start = comma + 1;
            }
        }
        parsed_.options.scenes = chosen;
        return true;
    }

    ParsedArguments& parsed_;
    std::vector<std::string> seen_;
    std::string bad_;
};

// The value of the option `arguments[i]`: what follows its "=", or else the
// next argument, which `i` then moves on to; none when there is neither.
std::optional<std::string> OptionValue(const std::vector<std::string>& arguments, std::size_t& i) {
    const std::size_t equals = arguments[i].find('=');
    if (equals != std::string::npos) {
        return arguments[i].substr(equals + 1);
    }
    if (i + 1 < arguments.size()) {
        return arguments[++i];
    }
    return std::nullopt;
}

// A percentage from 0 to 100: digits with at most one decimal point.
std::optional<double> Percentage(const std::string& text) {
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    const std::optional<int> units = whole.empty() && !fraction.empty() ? 0 : WholeNumber(whole, 0, 100);
    if (!units ||
        (point != std::string::npos && (fraction.empty() || !WholeNumber(fraction, 0, 999999999)))) {
        return std::nullopt;
    }
    double value = *units;
    double scale = 0.1;
    for (const char c : fraction) {
        value += (c - '0') * scale;
        scale /= 10;
    }
    return value <= 100.0 ? std::optional<double>(value) : std::nullopt;
}

ParsedArguments ParseCompare(const std::vector<std::string>& arguments) {
    ParsedArguments parsed;
    parsed.command = Command::Compare;
    CompareOptions& compare = parsed.compare;
    std::vector<std::string> files;
    bool json = false;
    bool html = false;
    bool failBelow = false;
    for (std::size_t i = 1; i < arguments.size() && parsed.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h" || argument == "/?") {
            parsed.command = Command::Help;
            continue;
        }
        if (argument.empty() || argument[0] != '-') {
            files.push_back(argument);
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (name != "--json" && name != "--html" && name != "--fail-below") {
            parsed.error = framework::Format("compare: unknown argument \"%s\"", argument.c_str());
            break;
        }
        bool& seen = name == "--json" ? json : name == "--html" ? html : failBelow;
        if (seen) {
            parsed.error = framework::Format("%s is given more than once", name.c_str());
            break;
        }
        seen = true;
        const std::optional<std::string> given = OptionValue(arguments, i);
        if (!given) {
            parsed.error = framework::Format("%s needs a value", name.c_str());
            break;
        }
        const std::string& value = *given;
        if (name == "--json" || name == "--html") {
            (name == "--json" ? compare.jsonPath : compare.htmlPath) = value;
            parsed.error = value.empty() ? name + " needs a file name" : "";
        } else if (!(compare.failBelowPercent = Percentage(value))) {
            parsed.error =
                framework::Format("--fail-below takes a percentage from 0 to 100, not \"%s\"", value.c_str());
        }
    }
    if (parsed.error.empty() && parsed.command == Command::Compare) {
        if (files.size() != 2) {
            parsed.error = "compare takes two reports: korvane-cli compare BASE.json NEW.json";
        } else if (!compare.jsonPath.empty() &&
                   (compare.jsonPath == files[0] || compare.jsonPath == files[1])) {
            parsed.error = "--json names a report being compared";
        } else if (!compare.htmlPath.empty() &&
                   (compare.htmlPath == files[0] || compare.htmlPath == files[1])) {
            parsed.error = "--html names a report being compared";
        } else if (!compare.htmlPath.empty() && compare.htmlPath == compare.jsonPath) {
            parsed.error = "--json and --html name the same file";
        } else {
            compare.basePath = files[0];
            compare.newPath = files[1];
        }
    }
    if (!parsed.error.empty()) {
        parsed.command = Command::Run;
    }
    return parsed;
}

} // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& arguments) {
    if (!arguments.empty() && arguments[0] == "compare") {
        return ParseCompare(arguments);
    }
    ParsedArguments parsed;
    Parser parser(parsed);
    bool help = false;
    bool version = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h" || argument == "/?") {
            help = true;
            continue;
        }
        if (argument == "--version") {
            version = true;
            continue;
        }
        if (argument == "--quiet") {
            parsed.options.quiet = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (!TakesValue(name)) {
            parser.Fail(framework::Format("unknown argument \"%s\"", argument.c_str()));
            break;
        }
        const std::optional<std::string> value = OptionValue(arguments, i);
        if (!value) {
            parser.Fail(framework::Format("%s needs a value", name.c_str()));
            break;
        }
        if (!parser.Option(name, *value)) {
            break;
        }
    }
    const CliOptions& files = parsed.options;
    for (const auto& [a, b, both] : {std::make_tuple(&files.jsonPath, &files.csvPath, "--json and --csv"),
                                     std::make_tuple(&files.jsonPath, &files.htmlPath, "--json and --html"),
                                     std::make_tuple(&files.csvPath, &files.htmlPath, "--csv and --html")}) {
        if (parsed.error.empty() && !a->empty() && *a == *b) {
            parser.Fail(std::string(both) + " name the same file");
        }
    }
    CliOptions& options = parsed.options;
    options.renderer = options.renderers.front();
    options.detail = options.details.front();
    options.resolutionText = options.resolutions.front();
    if (parsed.error.empty()) {
        parsed.command = help ? Command::Help : version ? Command::Version : Command::Run;
    }
    return parsed;
}

std::vector<CliOptions> Configurations(const CliOptions& options) {
    std::vector<CliOptions> configurations;
    for (const bench::Renderer renderer : options.renderers) {
        for (const bench::Detail detail : options.details) {
            for (const std::string& resolution : options.resolutions) {
                CliOptions configuration = options;
                configuration.renderer = renderer;
                configuration.detail = detail;
                configuration.resolutionText = resolution;
                configuration.renderers = {renderer};
                configuration.details = {detail};
                configuration.resolutions = {resolution};
                configurations.push_back(configuration);
            }
        }
    }
    return configurations;
}

const char* SceneArgumentName(int sceneIndex) {
    return bench::SceneTable()[static_cast<std::size_t>(sceneIndex)].argumentName;
}

int SceneLengthSeconds(const bench::SceneRow& scene) {
    const char* marker = std::strstr(scene.commandLineTemplate, "-seconds=");
    return marker != nullptr ? std::atoi(marker + std::strlen("-seconds=")) : 0;
}

int DefaultTimeoutSeconds(const bench::SceneRow& scene) {
    return 3 * SceneLengthSeconds(scene) + 60;
}

int TimeoutSeconds(const CliOptions& options, const bench::SceneRow& scene) {
    return options.timeoutSeconds.value_or(DefaultTimeoutSeconds(scene));
}

const char* RendererArgumentName(bench::Renderer renderer) {
    return renderer == bench::Renderer::OpenGL ? "opengl" : "d3d";
}

const char* DetailArgumentName(bench::Detail detail) {
    return detail == bench::Detail::High ? "high" : "low";
}

std::string HelpText() {
    return std::string("Usage: korvane-cli [options]\n"
                       "\n"
                       "Runs the UT2003 demo's benchmark as Korvane's window does, without clicks:\n"
                       "every chosen scene once per run, repeated, with statistics over the runs.\n"
                       "Start it in Korvane's folder: the game is handed the renderer ini files there.\n"
                       "\n"
                       "Options (the defaults are the window's):\n"
                       "  --renderer d3d|opengl    renderer (default d3d)\n"
                       "  --detail high|low        detail level (default high)\n"
                       "  --resolution WxH         640x480, 800x600, 1024x768, 1280x1024 or 1600x1200\n"
                       "                           (default 1024x768)\n"
                       "                           Each of these three takes a list separated by commas,\n"
                       "                           or all: every combination is run (renderer, then\n"
                       "                           detail, then resolution, in the window's order),\n"
                       "                           all runs of one before the next\n"
                       "  --scenes LIST            all (default), or names or indexes separated by\n"
                       "                           commas: flyby1 flyby2 flyby3 botmatch1 botmatch2\n"
                       "                           botmatch3, or 0 to 5\n"
                       "  --runs N                 runs of every scene (default 3, at most 100); a scene\n"
                       "                           whose values vary by 3.5 % or more is run again, up\n"
                       "                           to 2N runs\n"
                       "  --timeout SECONDS        longest run of one scene before the game is ended\n") +
           "                           (default three times the scene's length plus 60: " +
           std::to_string(DefaultTimeoutSeconds(bench::SceneTable()[0])) +
           ")\n"
           "  --json FILE              write every value and the statistics as JSON\n"
           "  --csv FILE               write one row per scene run as CSV\n"
           "  --html FILE              write a page with charts and tables of the results\n"
           "  --quiet                  print only the results table\n"
           "  --help, /?               this text\n"
           "  --version                Korvane's version\n"
           "\n"
           "Ctrl-C ends the running game and stops; what was measured is still written.\n"
           "\n"
           "Exit status: 0 every scene run produced a result, 1 the demo is not installed,\n"
           "2 a bad argument or an output file that cannot be written, 3 some scene run\n"
           "produced no result or the run was stopped.\n"
           "\n"
           "Usage: korvane-cli compare BASE.json NEW.json [--json FILE] [--html FILE]\n"
           "                           [--fail-below PERCENT]\n"
           "\n"
           "Compares two --json reports: for every configuration and scene both hold, the\n"
           "two mean frame rates, the difference in percent and its 95 % confidence\n"
           "interval (Welch's t-interval from the runs); the same for the score; and per\n"
           "configuration whether the new report is faster, slower, or shows no difference\n"
           "that these runs can show.\n"
           "  --json FILE              write the comparison as JSON\n"
           "  --html FILE              write a page with a chart of the differences\n"
           "  --fail-below PERCENT     exit with status 4 when the new score is lower by more\n"
           "                           than PERCENT and its interval lies wholly below zero\n"
           "                           (without a score: any scene's mean)\n"
           "Exit status: 0 compared, 2 a bad argument or a report that cannot be read,\n"
           "4 slower by more than --fail-below allows.\n";
}

std::string VersionText(const std::string& korvaneVersion) {
    return std::string(kProgramName) + " " + korvaneVersion + "\n";
}

} // namespace cli
