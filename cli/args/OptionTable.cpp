// The rows of korvane-cli's option table.
#include "cli/args/OptionTable.h"

#include <initializer_list>
#include <utility>

namespace cli {

namespace {

// A name list of option values, in the order the messages list them, each with
// its place in `table` (the window's order).
template <typename Table>
std::vector<std::pair<std::string, int>> InOrder(const Table& table, std::initializer_list<int> order) {
    std::vector<std::pair<std::string, int>> names;
    for (const int index : order) {
        names.emplace_back(table[static_cast<std::size_t>(index)].name, index);
    }
    return names;
}

std::vector<std::pair<std::string, int>> RendererChoices() {
    return InOrder(RendererNames(), {1, 0}); // d3d, the default, first
}

std::vector<std::pair<std::string, int>> DetailChoices() {
    return InOrder(DetailNames(), {0, 1});
}

std::vector<std::pair<std::string, int>> ResolutionChoices() {
    std::vector<std::pair<std::string, int>> names;
    for (std::size_t index = 0; index < bench::ResolutionTable().size(); ++index) {
        names.emplace_back(bench::ResolutionTable()[index], static_cast<int>(index));
    }
    return names;
}

OptionRow Switch(Command command, const char* name, const char* help,
                 void (*store)(ParsedArguments&, const OptionValue&), std::vector<const char*> aliases = {}) {
    return {command, name, std::move(aliases), "", ValueKind::None, nullptr, 0, 0, nullptr, help, nullptr,
            store,   false};
}

OptionRow NameList(const char* name, const char* valueName,
                   std::vector<std::pair<std::string, int>> (*names)(), const char* help,
                   void (*store)(ParsedArguments&, const OptionValue&)) {
    return {Command::Run, name,    {},    valueName, ValueKind::Names, names, 0, 0, nullptr,
            help,         nullptr, store, false};
}

OptionRow WholeNumber(const char* name, const char* valueName, long long low, long long high,
                      const char* words, const char* help,
                      void (*store)(ParsedArguments&, const OptionValue&)) {
    return {Command::Run, name,    {},    valueName, ValueKind::WholeNumber, nullptr, low, high, words,
            help,         nullptr, store, false};
}

OptionRow File(Command command, const char* name, const char* help, std::string& (*path)(ParsedArguments&)) {
    return {command, name, {}, "FILE", ValueKind::File, nullptr, 0, 0, nullptr, help, path, nullptr, false};
}

OptionRow Text(Command command, const char* name, const char* valueName, ValueKind kind, const char* help,
               void (*store)(ParsedArguments&, const OptionValue&), bool repeatable) {
    return {command, name, {}, valueName, kind, nullptr, 0, 0, nullptr, help, nullptr, store, repeatable};
}

} // namespace

const std::vector<std::string>& SceneArgumentNames() {
    static const std::vector<std::string> names = {"flyby1",    "flyby2",    "flyby3",
                                                   "botmatch1", "botmatch2", "botmatch3"};
    return names;
}

std::string NamesText(const OptionRow& row) {
    const std::vector<std::pair<std::string, int>> names = row.names();
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i].first;
    }
    return text;
}

const std::vector<OptionRow>& OptionTable() {
    static const std::vector<OptionRow> table = {
        NameList("--renderer", "d3d|opengl", RendererChoices, "renderer (default d3d)",
                 [](ParsedArguments& parsed, const OptionValue& value) {
                     parsed.run.plan.renderers.clear();
                     for (const int index : value.chosen) {
                         parsed.run.plan.renderers.push_back(
                             RendererNames()[static_cast<std::size_t>(index)].value);
                     }
                 }),
        NameList("--detail", "high|low", DetailChoices, "detail level (default high)",
                 [](ParsedArguments& parsed, const OptionValue& value) {
                     parsed.run.plan.details.clear();
                     for (const int index : value.chosen) {
                         parsed.run.plan.details.push_back(
                             DetailNames()[static_cast<std::size_t>(index)].value);
                     }
                 }),
        NameList("--resolution", "WxH", ResolutionChoices,
                 "{names}\n"
                 "(default 1024x768)\n"
                 "Each of these three takes a list separated by commas,\n"
                 "or all: every combination is run (renderer, then\n"
                 "detail, then resolution, in the window's order),\n"
                 "all runs of one before the next",
                 [](ParsedArguments& parsed, const OptionValue& value) {
                     parsed.run.plan.resolutions.clear();
                     for (const int index : value.chosen) {
                         parsed.run.plan.resolutions.emplace_back(
                             bench::ResolutionTable()[static_cast<std::size_t>(index)]);
                     }
                 }),
        {Command::Run,
         "--scenes",
         {},
         "LIST",
         ValueKind::Scenes,
         nullptr,
         0,
         bench::kSceneCount - 1,
         nullptr,
         "all (default), or names or indexes separated by\n"
         "commas: flyby1 flyby2 flyby3 botmatch1 botmatch2\n"
         "botmatch3, or 0 to 5",
         nullptr,
         [](ParsedArguments& parsed, const OptionValue& value) {
             parsed.run.plan.scenes = {};
             for (const int index : value.chosen) {
                 parsed.run.plan.scenes[static_cast<std::size_t>(index)] = true;
             }
         },
         false},
        WholeNumber("--runs", "N", 1, kMaxRuns, "a whole number",
                    "runs of every scene (default 3, at most {high}); a scene\n"
                    "whose values vary by 3.5 % or more is run again, up\n"
                    "to 2N runs",
                    [](ParsedArguments& parsed, const OptionValue& value) {
                        parsed.run.plan.runs = static_cast<int>(value.number);
                    }),
        WholeNumber("--timeout", "SECONDS", 1, kMaxTimeoutSeconds, "whole seconds",
                    "longest run of one scene before the game is ended\n"
                    "(default three times the scene's length plus 60: {timeout})",
                    [](ParsedArguments& parsed, const OptionValue& value) {
                        parsed.run.plan.timeoutSeconds = static_cast<int>(value.number);
                    }),
        File(Command::Run, "--json", "write every value and the statistics as JSON",
             [](ParsedArguments& parsed) -> std::string& { return parsed.run.jsonPath; }),
        File(Command::Run, "--csv", "write one row per scene run as CSV",
             [](ParsedArguments& parsed) -> std::string& { return parsed.run.csvPath; }),
        File(Command::Run, "--html", "write a page with charts and tables of the results",
             [](ParsedArguments& parsed) -> std::string& { return parsed.run.htmlPath; }),
        File(Command::Run, "--resume",
             "go on with the call that FILE, its --json report, records:\n"
             "from the first scene run that has not ended, with its\n"
             "options and files, after a crash, a kill or Ctrl-C",
             [](ParsedArguments& parsed) -> std::string& { return parsed.run.resumePath; }),
        Switch(Command::Run, "--quiet", "print only the results table",
               [](ParsedArguments& parsed, const OptionValue&) { parsed.run.quiet = true; }),
        Switch(Command::Help, "--help", "this text",
               [](ParsedArguments& parsed, const OptionValue&) { parsed.command = Command::Help; },
               {"-h", "/?"}),
        Switch(Command::Run, "--version", "Korvane's version",
               [](ParsedArguments& parsed, const OptionValue&) {
                   if (parsed.command != Command::Help) {
                       parsed.command = Command::Version;
                   }
               }),
        File(Command::Compare, "--json", "write the comparison as JSON",
             [](ParsedArguments& parsed) -> std::string& { return parsed.compare.jsonPath; }),
        File(Command::Compare, "--html", "write a page with a chart of the differences",
             [](ParsedArguments& parsed) -> std::string& { return parsed.compare.htmlPath; }),
        {Command::Compare,
         "--fail-below",
         {},
         "PERCENT",
         ValueKind::Percentage,
         nullptr,
         0,
         100,
         nullptr,
         "exit with status 4 when the new score is lower by more\n"
         "than PERCENT and its interval lies wholly below zero\n"
         "(without a score: any scene's mean)",
         nullptr,
         [](ParsedArguments& parsed, const OptionValue& value) {
             parsed.compare.failBelowPercent = value.percent;
         },
         false},
        File(Command::Compare, "--markdown",
             "write the comparison as a Markdown table, for a forum or an issue",
             [](ParsedArguments& parsed) -> std::string& { return parsed.compare.markdownPath; }),
        File(Command::Compare, "--bbcode", "write the comparison as a table in BBCode's [code], for phpBB",
             [](ParsedArguments& parsed) -> std::string& { return parsed.compare.bbcodePath; }),
        Text(
            Command::Merge, "--label", "FILE=TEXT", ValueKind::Pair,
            "the label of the report FILE, instead of the facts that\n"
            "tell it from the others (or its file name); for each report",
            [](ParsedArguments& parsed, const OptionValue& value) {
                const std::size_t equals = value.text.find('=');
                parsed.merge.labels.emplace_back(value.text.substr(0, equals), value.text.substr(equals + 1));
            },
            true),
        Text(
            Command::Merge, "--reference", "LABEL", ValueKind::Text,
            "the report the others are set against (default: the first)",
            [](ParsedArguments& parsed, const OptionValue& value) { parsed.merge.reference = value.text; },
            false),
        File(Command::Merge, "--json", "write the merge as JSON",
             [](ParsedArguments& parsed) -> std::string& { return parsed.merge.jsonPath; }),
        File(Command::Merge, "--csv", "write one row per report, configuration and scene as CSV",
             [](ParsedArguments& parsed) -> std::string& { return parsed.merge.csvPath; }),
        File(Command::Merge, "--html", "write a page with the charts and tables of every report",
             [](ParsedArguments& parsed) -> std::string& { return parsed.merge.htmlPath; }),
        File(Command::Merge, "--markdown", "write the index and the scores as Markdown tables",
             [](ParsedArguments& parsed) -> std::string& { return parsed.merge.markdownPath; }),
        File(Command::Merge, "--bbcode", "write the same in BBCode's [code], for phpBB",
             [](ParsedArguments& parsed) -> std::string& { return parsed.merge.bbcodePath; }),
    };
    return table;
}

} // namespace cli
