// The files merge reads and writes.
#include "cli/run/MergeCommand.h"

#include <optional>

#include "cli/compare/Merge.h"
#include "cli/output/BBCode.h"
#include "cli/output/Csv.h"
#include "cli/output/Html.h"
#include "cli/output/Json.h"
#include "cli/output/Markdown.h"
#include "cli/output/Text.h"
#include "cli/report/ExitStatus.h"
#include "cli/run/Encoding.h"
#include "cli/run/Files.h"
#include "cli/run/OutputFiles.h"
#include "framework/Format.h"

namespace cli {

int RunMerge(const MergeOptions& options, const ConsoleOutput& console) {
    const auto refuse = [&console](const std::string& message) {
        console.printError(std::string(kProgramName) + ": " + message + "\n");
        return kExitBadArgument;
    };
    // The merge is kept in UTF-8, as the reports hold their texts; the console
    // and the CSV file get the system's code page.
    std::optional<Merge> merge;
    OutputFiles outputs;
    outputs.Add(
        "--json", options.jsonPath, [&] { return MergeJson(*merge); }, true);
    outputs.Add("--csv", options.csvPath, [&] { return Utf8ToAnsi(MergeCsv(*merge)); });
    outputs.Add("--html", options.htmlPath, [&] { return MergeHtml(*merge); });
    outputs.Add("--markdown", options.markdownPath, [&] { return MergeMarkdown(*merge); });
    outputs.Add("--bbcode", options.bbcodePath, [&] { return MergeBBCode(*merge); });
    std::vector<std::pair<std::string, std::string>> inputs;
    for (const std::string& path : options.paths) {
        inputs.emplace_back("a report being merged", path);
    }
    std::string message;
    if (!outputs.Check(inputs, message)) {
        return refuse(message);
    }

    std::vector<MergeInput> reports;
    std::vector<FileKey> keys;
    for (const std::string& path : options.paths) {
        std::string problem;
        std::optional<ReportFile> report;
        const std::optional<std::string> text = ReadWholeFile(path, kMaxReportBytes, problem);
        if (text) {
            report = ReadReport(*text, problem);
        }
        if (!report) {
            return refuse(framework::Format("\"%s\" cannot be merged: %s", path.c_str(), problem.c_str()));
        }
        MergeInput input;
        input.path = AnsiToUtf8(path);
        input.contentHash = ContentHash(*text);
        keys.push_back(KeyOf(path));
        for (std::size_t earlier = 0; earlier < reports.size(); ++earlier) {
            if (input.sameFileAs < 0 && SameFile(keys[earlier], keys.back())) {
                input.sameFileAs = static_cast<int>(earlier);
            }
        }
        input.report = std::move(*report);
        reports.push_back(std::move(input));
    }
    for (const auto& [path, label] : options.labels) {
        bool named = false;
        const FileKey key = KeyOf(path);
        for (std::size_t i = 0; i < reports.size(); ++i) {
            if (SameFile(keys[i], key)) {
                reports[i].label = AnsiToUtf8(label);
                named = true;
            }
        }
        if (!named) {
            return refuse(framework::Format("--label \"%s\" names no report being merged", path.c_str()));
        }
    }
    std::string problem;
    merge = MergeReports(reports, AnsiToUtf8(options.reference), problem);
    if (!merge) {
        return refuse(Utf8ToAnsi(problem));
    }
    console.print(Utf8ToAnsi(MergeText(*merge)));
    return outputs.Write(console, true) ? kExitAllResults : kExitBadArgument;
}

} // namespace cli
