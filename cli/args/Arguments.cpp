// Reading korvane-cli's arguments through the option table.
#include "cli/args/Arguments.h"

#include <charconv>
#include <optional>

#include "cli/args/OptionTable.h"
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

bool AllDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// A whole number of decimal digits only, from `low` to `high`.
std::optional<long long> WholeNumberOf(const std::string& text, long long low, long long high) {
    long long value = 0;
    if (!AllDigits(text) ||
        std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

// Digits with at most one decimal point, a digit after it, from 0 to `high`.
std::optional<double> PercentageOf(const std::string& text, long long high) {
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    double value = 0.0;
    if ((!whole.empty() && !AllDigits(whole)) || (point != std::string::npos && !AllDigits(fraction)) ||
        (whole.empty() && fraction.empty()) ||
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed).ec !=
            std::errc() ||
        value > static_cast<double>(high)) {
        return std::nullopt;
    }
    return value;
}

// The items of a comma list, each once, as indexes of `names` (all of them for
// "all"), in index order; none when an item is unknown, which `bad` then holds.
std::optional<std::vector<int>> Items(const std::string& value,
                                      const std::vector<std::pair<std::string, int>>& names,
                                      const std::vector<std::string>& numbered, std::string& bad) {
    std::vector<bool> chosen(names.size() + numbered.size(), false);
    if (Lower(value) == "all") {
        chosen.assign(chosen.size(), true);
    } else {
        for (std::size_t start = 0;;) {
            const std::size_t comma = value.find(',', start);
            bad = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            const std::string item = Lower(bad);
            std::optional<int> index;
            for (const auto& [name, meaning] : names) {
                index = name == item ? std::optional<int>(meaning) : index;
            }
            for (std::size_t i = 0; i < numbered.size() && !index; ++i) {
                if (numbered[i] == item) {
                    index = static_cast<int>(i);
                }
            }
            if (!index && !numbered.empty()) {
                const std::optional<long long> number =
                    WholeNumberOf(item, 0, static_cast<long long>(numbered.size()) - 1);
                index = number ? std::optional<int>(static_cast<int>(*number)) : std::nullopt;
            }
            if (!index) {
                return std::nullopt;
            }
            chosen[static_cast<std::size_t>(*index)] = true;
            if (comma == std::string::npos) {
                break;
            }
            start = comma + 1;
        }
    }
    std::vector<int> items;
    for (std::size_t index = 0; index < chosen.size(); ++index) {
        if (chosen[index]) {
            items.push_back(static_cast<int>(index));
        }
    }
    return items;
}

// Checks `text` as the row's value; the error message, or "" with `value` filled.
std::string ReadValue(const OptionRow& row, const std::string& text, OptionValue& value) {
    value.text = text;
    std::string bad;
    switch (row.kind) {
    case ValueKind::None:
        return "";
    case ValueKind::Names:
        if (const auto chosen = Items(text, row.names(), {}, bad)) {
            value.chosen = *chosen;
            return "";
        }
        return framework::Format("%s takes %s (or a list of them separated by commas, or all), not \"%s\"",
                                 row.name, NamesText(row).c_str(), bad.c_str());
    case ValueKind::Scenes:
        if (const auto chosen = Items(text, {}, SceneArgumentNames(), bad)) {
            value.chosen = *chosen;
            return "";
        }
        return framework::Format(
            "%s: \"%s\" is no scene; give all, or names (flyby1, flyby2, flyby3, botmatch1, "
            "botmatch2, botmatch3) or indexes (0 to %lld) separated by commas",
            row.name, bad.c_str(), row.high);
    case ValueKind::WholeNumber:
        if (const auto number = WholeNumberOf(text, row.low, row.high)) {
            value.number = *number;
            return "";
        }
        return framework::Format("%s takes %s from %lld to %lld, not \"%s\"", row.name, row.numberWords,
                                 row.low, row.high, text.c_str());
    case ValueKind::Percentage:
        if (const auto percent = PercentageOf(text, row.high)) {
            value.percent = *percent;
            return "";
        }
        return framework::Format("%s takes a percentage from %lld to %lld, not \"%s\"", row.name, row.low,
                                 row.high, text.c_str());
    case ValueKind::File:
        return text.empty() ? framework::Format("%s needs a file name", row.name) : "";
    case ValueKind::Text:
        return text.empty() ? framework::Format("%s needs a value", row.name) : "";
    case ValueKind::Pair: {
        const std::size_t equals = text.find('=');
        return equals == std::string::npos || equals == 0 || equals + 1 == text.size()
                   ? framework::Format("%s takes %s, not \"%s\"", row.name, row.valueName, text.c_str())
                   : "";
    }
    }
    return "";
}

const OptionRow* FindOption(Command command, const std::string& name) {
    for (const OptionRow& row : OptionTable()) {
        if (row.command != command && row.command != Command::Help) {
            continue;
        }
        bool matches = name == row.name;
        for (const char* alias : row.aliases) {
            matches = matches || name == alias;
        }
        if (matches) {
            return &row;
        }
    }
    return nullptr;
}

// The value of the option `arguments[i]`: what follows its "=", or else the
// next argument, which `i` then moves on to; none when there is neither.
std::optional<std::string> ValueAfter(const std::vector<std::string>& arguments, std::size_t& i) {
    const std::size_t equals = arguments[i].find('=');
    if (equals != std::string::npos) {
        return arguments[i].substr(equals + 1);
    }
    if (i + 1 < arguments.size()) {
        return arguments[++i];
    }
    return std::nullopt;
}

// The file options of `command`, in the table's order, with where their paths are.
std::vector<std::pair<const char*, std::string*>> FileOptions(Command command, ParsedArguments& parsed) {
    std::vector<std::pair<const char*, std::string*>> files;
    for (const OptionRow& row : OptionTable()) {
        if (row.command == command && row.kind == ValueKind::File) {
            files.emplace_back(row.name, &row.path(parsed));
        }
    }
    return files;
}

// The same-file rules: no output file names an input, nor another output.
std::string SameFileError(Command command, ParsedArguments& parsed, const std::vector<std::string>& inputs) {
    const std::vector<std::pair<const char*, std::string*>> files = FileOptions(command, parsed);
    for (const auto& [name, path] : files) {
        for (const std::string& input : inputs) {
            if (!path->empty() && *path == input) {
                return framework::Format("%s names a report being %s", name,
                                         command == Command::Merge ? "merged" : "compared");
            }
        }
    }
    for (std::size_t a = 0; a < files.size(); ++a) {
        for (std::size_t b = a + 1; b < files.size(); ++b) {
            if (!files[a].second->empty() && *files[a].second == *files[b].second) {
                return framework::Format("%s and %s name the same file", files[a].first, files[b].first);
            }
        }
    }
    return "";
}

} // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& arguments) {
    ParsedArguments parsed;
    const std::string first = arguments.empty() ? "" : arguments[0];
    const bool compare = first == "compare";
    const bool merge = first == "merge";
    const Command command = compare ? Command::Compare : merge ? Command::Merge : Command::Run;
    parsed.command = command;
    const std::string prefix = command == Command::Run ? "" : first + ": ";
    std::vector<std::string> files;
    std::vector<const OptionRow*> given;
    for (std::size_t i = command == Command::Run ? 0 : 1; i < arguments.size() && parsed.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (command != Command::Run && (argument.empty() || argument[0] != '-')) {
            files.push_back(argument);
            continue;
        }
        const std::size_t equals = argument.find('=');
        const OptionRow* row = FindOption(command, argument.substr(0, equals));
        if (row == nullptr || (row->kind == ValueKind::None && equals != std::string::npos)) {
            parsed.error = prefix + framework::Format("unknown argument \"%s\"", argument.c_str());
            break;
        }
        OptionValue value;
        if (row->kind != ValueKind::None) {
            for (const OptionRow* earlier : given) {
                if (earlier == row && !row->repeatable) {
                    parsed.error = framework::Format("%s is given more than once", row->name);
                }
            }
            given.push_back(row);
            const std::optional<std::string> text = ValueAfter(arguments, i);
            if (parsed.error.empty() && !text) {
                parsed.error = framework::Format("%s needs a value", row->name);
            }
            if (parsed.error.empty()) {
                parsed.error = ReadValue(*row, *text, value);
            }
            if (!parsed.error.empty()) {
                break;
            }
        }
        if (row->path != nullptr) {
            row->path(parsed) = value.text;
        } else {
            row->store(parsed, value);
        }
    }
    if (parsed.error.empty() && compare && parsed.command == Command::Compare) {
        if (files.size() != 2) {
            parsed.error = "compare takes two reports: korvane-cli compare BASE.json NEW.json";
        } else {
            parsed.compare.basePath = files[0];
            parsed.compare.newPath = files[1];
        }
    }
    if (parsed.error.empty() && merge && parsed.command == Command::Merge) {
        if (files.size() < 2 || files.size() > kMaxMergeReports) {
            parsed.error =
                framework::Format("merge takes 2 to %zu reports, not %zu: korvane-cli merge REPORT.json "
                                  "REPORT.json ...",
                                  kMaxMergeReports, files.size());
        }
        parsed.merge.paths = files;
    }
    if (parsed.error.empty() && !parsed.run.resumePath.empty()) {
        for (const OptionRow* row : given) {
            if (std::string(row->name) != "--resume" && parsed.error.empty()) {
                parsed.error = framework::Format(
                    "--resume takes every option from its report: %s cannot be given beside it", row->name);
            }
        }
        if (parsed.command == Command::Run) {
            parsed.command = Command::Resume;
        }
    }
    if (parsed.error.empty()) {
        parsed.error = SameFileError(command, parsed, files);
    }
    if (!parsed.error.empty()) {
        parsed.command = Command::Run;
    }
    return parsed;
}

std::string VersionText(const std::string& korvaneVersion) {
    return std::string(kProgramName) + " " + korvaneVersion + "\n";
}

} // namespace cli
