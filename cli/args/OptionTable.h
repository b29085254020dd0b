// Every option of every korvane-cli command, once: its name, the kind of value
// it takes and which values are allowed, its help lines, and where its value
// goes. The table drives the parsing, the error messages and --help.
// Platform-free.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "cli/args/Arguments.h"

namespace cli {

enum class ValueKind {
    None,        // a switch: --quiet
    Names,       // one or more names separated by commas, or all: --renderer d3d,opengl
    Scenes,      // all, or scene names or indexes separated by commas
    WholeNumber, // digits, from `low` to `high`
    Percentage,  // digits with at most one decimal point, from 0 to 100
    File,        // a file name, not empty
    Text,        // a text, not empty
    Pair,        // NAME=TEXT, neither empty
};

// What an option's value was read as: the text, the chosen names' indexes (into
// the option's names, in that order, each once), or the number.
struct OptionValue {
    std::string text;
    std::vector<int> chosen;
    long long number = 0;
    double percent = 0.0;
};

struct OptionRow {
    Command command;  // the command it belongs to; Help for --help, which every command takes
    const char* name; // "--renderer"
    // Other spellings of the same option ("-h", "/?"); the help shows the last.
    std::vector<const char*> aliases;
    const char* valueName; // as the help shows it: "d3d|opengl"; "" for a switch
    ValueKind kind;
    // Names: every name it takes, in the order the messages list them, each
    // with the index it stands for in `chosen` (a sweep's order).
    std::vector<std::pair<std::string, int>> (*names)();
    long long low, high;     // WholeNumber
    const char* numberWords; // WholeNumber: "a whole number", "whole seconds"
    // The help's lines for it, separated by '\n'. "{names}" stands for the names
    // as a message lists them, "{high}" for `high`, "{timeout}" for the default
    // time-out.
    const char* help;
    // Where the value goes: a file option's path, or what `store` does with it.
    std::string& (*path)(ParsedArguments& parsed);
    void (*store)(ParsedArguments& parsed, const OptionValue& value);
    bool repeatable = false; // may be given more than once
};

const std::vector<OptionRow>& OptionTable();

// "d3d or opengl", "640x480, 800x600, ... or 1600x1200": the names of a Names option.
std::string NamesText(const OptionRow& row);

// The names of the scenes on the command line, by scene index: flyby1 ... botmatch3.
const std::vector<std::string>& SceneArgumentNames();

} // namespace cli
