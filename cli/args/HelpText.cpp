// korvane-cli --help, from the option table.
#include <string>

#include "cli/args/Arguments.h"
#include "cli/args/OptionTable.h"
#include "framework/Format.h"

namespace cli {

namespace {

// `text` with every `from` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The help's lines of the options of `command` (and --help under the run's).
std::string OptionLines(Command command) {
    std::string text;
    for (const OptionRow& row : OptionTable()) {
        if (row.command != command && !(row.command == Command::Help && command == Command::Run)) {
            continue;
        }
        std::string shown = row.name;
        shown += row.aliases.empty() ? std::string() : std::string(", ") + row.aliases.back();
        shown += *row.valueName != '\0' ? std::string(" ") + row.valueName : std::string();
        std::string help = row.help;
        help = Replaced(help, "{names}", row.kind == ValueKind::Names ? NamesText(row) : "");
        help = Replaced(help, "{high}", std::to_string(row.high));
        help = Replaced(help, "{timeout}", std::to_string(DefaultTimeoutSeconds(bench::SceneTable()[0])));
        text += framework::Format("  %-24s %s\n", shown.c_str(),
                                  Replaced(help, "\n", "\n" + std::string(27, ' ')).c_str());
    }
    return text;
}

} // namespace

std::string HelpText() {
    return "Usage: korvane-cli [options]\n"
           "\n"
           "Runs the UT2003 demo's benchmark as Korvane's window does, without clicks:\n"
           "every chosen scene once per run, repeated, with statistics over the runs.\n"
           "Start it in Korvane's folder: the game is handed the renderer ini files there.\n"
           "\n"
           "Options (the defaults are the window's):\n" +
           OptionLines(Command::Run) +
           "\n"
           "Ctrl-C ends the running game and stops; what was measured is still written.\n"
           "\n"
           "Exit status: 0 every scene run produced a result, 1 the demo is not installed,\n"
           "2 a bad argument or an output file that cannot be written, 3 some scene run\n"
           "produced no result or the run was stopped.\n"
           "\n"
           "Usage: korvane-cli compare BASE.json NEW.json [--json FILE] [--html FILE]\n"
           "                           [--markdown FILE] [--bbcode FILE] [--fail-below PERCENT]\n"
           "\n"
           "Compares two --json reports: for every configuration and scene both hold, the\n"
           "two mean frame rates, the difference in percent and its 95 % confidence\n"
           "interval (Welch's t-interval from the runs); the same for the score; and per\n"
           "configuration whether the new report is faster, slower, or shows no difference\n"
           "that these runs can show.\n" +
           OptionLines(Command::Compare) +
           "Exit status: 0 compared, 2 a bad argument or a report that cannot be read,\n"
           "4 slower by more than --fail-below allows.\n"
           "\n"
           "Usage: korvane-cli merge REPORT.json REPORT.json ... [options]\n"
           "\n"
           "Puts 2 to 64 --json reports side by side: each labelled by the facts that tell\n"
           "it from the others (video card, driver, processor, clock, RAM, OS, options),\n"
           "for every configuration two or more hold each scene's frame rate and the score,\n"
           "each report against the reference with the difference in percent and its 95 %\n"
           "interval, and an index per report (the geometric mean of its ratios to the\n"
           "reference, which is 100) that ranks them.\n" +
           OptionLines(Command::Merge) +
           "Exit status: 0 merged, 2 a bad argument or a report that cannot be read.\n";
}

} // namespace cli
