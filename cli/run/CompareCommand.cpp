// The files compare reads and writes.
#include "cli/run/CompareCommand.h"

#include <optional>

#include "cli/compare/ReportReader.h"
#include "cli/output/Html.h"
#include "cli/output/Json.h"
#include "cli/output/Text.h"
#include "cli/report/ExitStatus.h"
#include "cli/run/Console.h"
#include "cli/run/Encoding.h"
#include "cli/run/Files.h"
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

bool WriteOutput(const char* option, const std::string& path, const std::string& text,
                 const ConsoleOutput& console) {
    OutputFile file;
    std::string problem;
    if (path.empty() || (file.Create(path, problem) && file.Write(text, problem))) {
        return true;
    }
    console.printError(framework::Format("%s: %s cannot write \"%s\": %s\n", kProgramName, option,
                                         path.c_str(), problem.c_str()));
    return false;
}

} // namespace

int RunCompare(const CompareOptions& options, const ConsoleOutput& console) {
    const std::optional<ReportValues> base = ReadReport(options.basePath, console);
    const std::optional<ReportValues> newer = ReadReport(options.newPath, console);
    if (!base || !newer) {
        return kExitBadArgument;
    }
    const Comparison comparison = CompareReports(*base, *newer);
    console.print(CompareText(comparison, options.basePath, options.newPath));
    if (comparison.configurations.empty()) {
        console.printError(framework::Format("%s: \"%s\" and \"%s\" hold no configuration in common\n",
                                             kProgramName, options.basePath.c_str(),
                                             options.newPath.c_str()));
        return kExitBadArgument;
    }
    if (!WriteOutput(
            "--json", options.jsonPath,
            CompareJson(comparison, options.basePath, options.newPath, options.failBelowPercent, AnsiToUtf8),
            console) ||
        !WriteOutput("--html", options.htmlPath,
                     CompareHtml(comparison, options.basePath, options.newPath, AnsiToUtf8), console)) {
        return kExitBadArgument;
    }
    return CompareExitStatus(comparison, options.failBelowPercent);
}

} // namespace cli
