// The files compare reads and writes.
#include "cli/run/CompareCommand.h"

#include <optional>

#include "cli/compare/ReportReader.h"
#include "cli/output/BBCode.h"
#include "cli/output/Html.h"
#include "cli/output/Markdown.h"
#include "cli/output/Json.h"
#include "cli/output/Text.h"
#include "cli/report/ExitStatus.h"
#include "cli/run/Console.h"
#include "cli/run/Encoding.h"
#include "cli/run/Files.h"
#include "cli/run/OutputFiles.h"
#include "framework/Format.h"

namespace cli {

namespace {

std::optional<ReportValues> ReadReport(const std::string& path, const ConsoleOutput& console) {
    std::string problem;
    std::optional<ReportValues> values;
    if (const std::optional<std::string> text = ReadWholeFile(path, kMaxReportBytes, problem)) {
        values = ReadReportValues(*text, problem);
    }
    if (!values) {
        console.printError(framework::Format("%s: \"%s\" cannot be compared: %s\n", kProgramName,
                                             path.c_str(), problem.c_str()));
    }
    return values;
}

} // namespace

int RunCompare(const CompareOptions& options, const ConsoleOutput& console) {
    // Every output is checked before anything is read or written: none may name a report compared.
    Comparison comparison;
    OutputFiles outputs;
    outputs.Add("--json", options.jsonPath, [&] {
        return CompareJson(comparison, options.basePath, options.newPath, options.failBelowPercent,
                           AnsiToUtf8);
    });
    outputs.Add("--html", options.htmlPath,
                [&] { return CompareHtml(comparison, options.basePath, options.newPath, AnsiToUtf8); });
    outputs.Add("--markdown", options.markdownPath, [&] {
        return CompareMarkdown(comparison, AnsiToUtf8(options.basePath), AnsiToUtf8(options.newPath));
    });
    outputs.Add("--bbcode", options.bbcodePath, [&] {
        return CompareBBCode(comparison, AnsiToUtf8(options.basePath), AnsiToUtf8(options.newPath));
    });
    std::string message;
    if (!outputs.Check(
            {{"a report being compared", options.basePath}, {"a report being compared", options.newPath}},
            message)) {
        console.printError(std::string(kProgramName) + ": " + message + "\n");
        return kExitBadArgument;
    }
    const std::optional<ReportValues> base = ReadReport(options.basePath, console);
    const std::optional<ReportValues> newer = ReadReport(options.newPath, console);
    if (!base || !newer) {
        return kExitBadArgument;
    }
    comparison = CompareReports(*base, *newer);
    console.print(CompareText(comparison, options.basePath, options.newPath));
    if (comparison.configurations.empty()) {
        console.printError(framework::Format("%s: \"%s\" and \"%s\" hold no configuration in common\n",
                                             kProgramName, options.basePath.c_str(),
                                             options.newPath.c_str()));
        return kExitBadArgument;
    }
    if (!outputs.Write(console, true)) {
        return kExitBadArgument;
    }
    return CompareExitStatus(comparison, options.failBelowPercent);
}

} // namespace cli
