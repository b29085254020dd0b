// korvane-cli compare as a command: the files read and written.
#include <cstdio>
#include <memory>
#include <ostream>

#include "cli/Compare.h"
#include "cli/ReportHtml.h"
#include "framework/Format.h"

namespace cli {

namespace {

// No report comes near this; a larger file is not read into memory.
constexpr std::size_t kMaxReportBytes = 64u << 20;

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using CFile = std::unique_ptr<std::FILE, FileCloser>;

std::optional<ReportValues> ReadReportFile(const std::string& path, std::ostream& errors) {
    const CFile file(std::fopen(path.c_str(), "rb"));
    std::string text;
    char buffer[16384];
    for (std::size_t count = 0; file && text.size() <= kMaxReportBytes &&
                                (count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        text.append(buffer, count);
    }
    std::string problem;
    if (!file || std::ferror(file.get())) {
        problem = "no such file, or it cannot be read";
    } else if (text.size() > kMaxReportBytes) {
        problem = "it is larger than any report (64 MiB)";
    }
    std::optional<ReportValues> values;
    if (problem.empty()) {
        values = ReadReportValues(text, problem);
    }
    if (!values) {
        errors << framework::Format("%s: \"%s\" cannot be compared: %s\n", kProgramName, path.c_str(),
                                    problem.c_str());
    }
    return values;
}

bool WriteFile(const std::string& path, const std::string& text) {
    CFile file(std::fopen(path.c_str(), "wb"));
    return file && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
           std::fclose(file.release()) == 0;
}

} // namespace

int RunCompare(const CompareOptions& options, std::ostream& out, std::ostream& errors,
               const Utf8Converter& toUtf8) {
    const std::optional<ReportValues> base = ReadReportFile(options.basePath, errors);
    const std::optional<ReportValues> now = ReadReportFile(options.newPath, errors);
    if (!base || !now) {
        return kExitBadArgument;
    }
    const Comparison comparison = CompareReports(*base, *now);
    out << CompareText(comparison, options.basePath, options.newPath);
    if (comparison.configurations.empty()) {
        errors << framework::Format("%s: \"%s\" and \"%s\" hold no configuration in common\n", kProgramName,
                                    options.basePath.c_str(), options.newPath.c_str());
        return kExitBadArgument;
    }
    if (!options.jsonPath.empty() &&
        !WriteFile(options.jsonPath, CompareJson(comparison, options.basePath, options.newPath,
                                                 options.failBelowPercent, toUtf8))) {
        errors << framework::Format("%s: --json cannot write \"%s\"\n", kProgramName,
                                    options.jsonPath.c_str());
        return kExitBadArgument;
    }
    if (!options.htmlPath.empty() &&
        !WriteFile(options.htmlPath, CompareHtml(comparison, options.basePath, options.newPath, toUtf8))) {
        errors << framework::Format("%s: --html cannot write \"%s\"\n", kProgramName,
                                    options.htmlPath.c_str());
        return kExitBadArgument;
    }
    return CompareExitStatus(comparison, options.failBelowPercent);
}

} // namespace cli
