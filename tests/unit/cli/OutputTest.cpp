// korvane-cli's outputs, one file per format: the console's progress lines, and
// every report of tests/data/cli/output/reports read back and written again as
// header and results, CSV, JSON and page, byte for byte as the files beside it;
// the merges' files likewise; the CSV fields and the texts made UTF-8.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ReportSamples.h"
#include "SourceTree.h"
#include "cli/compare/ReportReader.h"
#include "cli/output/BBCode.h"
#include "cli/output/Csv.h"
#include "cli/output/Html.h"
#include "cli/output/Json.h"
#include "cli/output/Markdown.h"
#include "cli/output/Text.h"
#include "cli/output/Utf8.h"

namespace {

using bench::SceneStatus;
using samples::AddRun;
using samples::MakeCall;

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// A page fetches nothing and runs nothing: no script, no address, no outside
// style; its charts are SVG drawings inside the page itself (data: objects).
void ExpectSelfContained(std::string page, const std::string& name) {
    for (std::size_t at = page.find("data:image/svg+xml;base64,"); at != std::string::npos;
         at = page.find("data:image/svg+xml;base64,", at)) {
        page.erase(at, page.find('"', at) - at);
    }
    for (const char* outside :
         {"<script", "http", "src=", "url(", "<link", "@import", "@font-face", "data:"}) {
        EXPECT_EQ(Count(page, outside), 0) << outside << " in " << name;
    }
}

// Each line as the run prints it, right after its scene run: the call's position
// counts the extra runs as soon as a round asks for them.
TEST(TextTest, ProgressLines) {
    cli::CallReport call = MakeCall({0, 1}, 2);
    cli::ConfigurationReport& report = call.configurations[0];
    std::string lines; // as tests/data/cli/output/progress.txt
    const auto add = [&](double totalSeconds, std::optional<double> secondsLeft = std::nullopt) {
        lines += cli::ProgressText(call, report, report.runs.back(), totalSeconds, secondsLeft);
    };
    AddRun(report, 0, 1, SceneStatus::Recorded, 100.0);
    add(4.9, 15.2);
    AddRun(report, 1, 1, SceneStatus::TimedOut);
    add(3725.0);
    AddRun(report, 0, 2, SceneStatus::Recorded, 110.0); // 6.73 %: a third run
    AddRun(report, 1, 2, SceneStatus::Recorded, 50.0);
    add(30.0, 3725.0);
    lines += cli::ExtraRunText(call, report, 0) + cli::ExtraRunText(call, report, 1);
    AddRun(report, 0, 3, SceneStatus::Recorded, 105.0); // 4.76 %: a fourth
    add(61.0, 10.0);
    AddRun(report, 0, 4, SceneStatus::Recorded, 105.0);
    add(70.0, 10.0);
    call.plan.resolutions = {"1024x768", "1600x1200"}; // a sweep names the configuration and counts the next
    add(75.0);
    sourcetree::ExpectFile("cli/output/progress.txt", lines);
}

// tests/data/cli/output/csv-fields.txt, and a report's CSV with such texts.
TEST(CsvTest, FieldsQuotedOnlyWhenTheyMustBe) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/output/csv-fields.txt")) {
        const std::string value = sourcetree::Unescaped(row.at(1));
        EXPECT_EQ(row[0] == "field" ? cli::CsvField(value) : cli::CsvText(value),
                  sourcetree::Unescaped(row.size() > 2 ? row[2] : ""))
            << row[0] << " " << row[1];
    }
    cli::CallReport call = MakeCall({0}, 1);
    AddRun(call.configurations[0], 0, 1, SceneStatus::NoNumber);
    call.configurations[0].runs[0].lastLine = "=cmd|' /C calc'!A0";
    call.configurations[0].runs[0].message = "-x";
    EXPECT_EQ(Count(cli::ReportCsv(call), ",no-number,1.250,0,,,,,,\"'=cmd|' /C calc'!A0\",\"'-x\"\r\n"), 1);
}

// Every report of tests/data/cli/output/reports read back through the program's
// own reader, and from it its header and results as the console shows them
// (.txt), CSV, JSON (the file read) and page, as the files beside it. The JSON
// files are checked against the schema and the pages drawn by a browser after
// this program.
TEST(ReportFilesTest, EverySampleInEveryFormatAsItsExpectedFile) {
    std::map<std::string, cli::CallReport> calls;
    for (const auto& item :
         std::filesystem::directory_iterator(sourcetree::SourcePath("tests/data/cli/output/reports"))) {
        if (item.path().extension() == ".json") {
            std::string problem;
            const auto read =
                cli::ReadReport(sourcetree::ReadBytes(item.path().string()).value_or(""), problem);
            EXPECT_TRUE(read) << item.path() << ": " << problem;
            calls[item.path().stem().string()] = read ? read->call : cli::CallReport();
        }
    }
    EXPECT_EQ(calls.size(), 9u);
    calls["failures-and-a-stop"].machine.osName = "Windows \xFC"; // a byte of the ANSI code page
    for (const auto& [name, call] : calls) {
        const std::string file = "cli/output/reports/" + name;
        sourcetree::ExpectFile(file + ".txt", cli::HeaderText(call) + cli::ResultsText(call));
        sourcetree::ExpectFile(file + ".csv", cli::ReportCsv(call));
        sourcetree::ExpectFile(file + ".json", cli::ReportJson(call));
        const std::string page =
            cli::ReportHtml(call, nullptr, call.complete ? std::nullopt : std::optional(754.0));
        sourcetree::ExpectFile(file + ".html", page);
        ExpectSelfContained(page, name);
    }
    const std::string converted = cli::ReportJson(calls["failures-and-a-stop"],
                                                  [](const std::string& text) { return "<" + text + ">"; });
    EXPECT_EQ(Count(converted, "\"osName\": \"<Windows \xC3\xBC>\""), 1) << "the system's conversion is used";
}

// Every text goes into the UTF-8 files whole: escaped as JSON needs, a byte of
// no UTF-8 sequence taken as the Latin-1 character of that value.
TEST(Utf8Test, TextsAsWellFormedUtf8AndJsonEscapes) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/output/utf8-texts.txt")) {
        EXPECT_EQ(cli::WellFormedUtf8(sourcetree::Unescaped(row[0])), sourcetree::Unescaped(row.at(1)))
            << row[0];
    }
    cli::CallReport call = MakeCall({0}, 1);
    call.machine.videoCard = std::string("C:\\UT2003 \"demo\"\n\r\t\b\f\x01\x1f\0\xFC", 25);
    EXPECT_EQ(
        Count(cli::ReportJson(call),
              "\"videoCard\": \"C:\\\\UT2003 \\\"demo\\\"\\n\\r\\t\\b\\f\\u0001\\u001f\\u0000\xC3\xBC\""),
        1);
}

// Every merge of tests/data/cli/merge/inputs.txt in every format as its expected
// file (tests/data/cli/output/merge); the JSON files are checked against their
// schema and the pages drawn by a browser after this program.
TEST(MergeFilesTest, EverySampleInEveryFormatAsItsExpectedFile) {
    std::map<std::string, std::vector<cli::MergeInput>> merges;
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/merge/inputs.txt")) {
        const std::string file = sourcetree::SourcePath("tests/data/cli/merge/" + row.at(1));
        merges[row[0]].push_back(samples::Input(sourcetree::ReadBytes(file).value_or(""), row.at(2)));
        merges[row[0]].back().label = row.size() > 3 ? row[3] : "";
    }
    EXPECT_EQ(merges.size(), 4u);
    for (auto& [name, inputs] : merges) {
        const std::string reference = name == "partial-sets" ? "2 scenes, 2 runs" : "";
        std::string problem;
        const std::optional<cli::Merge> merge = cli::MergeReports(inputs, reference, problem);
        ASSERT_TRUE(merge) << name << ": " << problem;
        const std::string file = "cli/output/merge/" + name;
        sourcetree::ExpectFile(file + ".txt", cli::MergeText(*merge));
        sourcetree::ExpectFile(file + ".json", cli::MergeJson(*merge));
        sourcetree::ExpectFile(file + ".csv", cli::MergeCsv(*merge));
        sourcetree::ExpectFile(file + ".md", cli::MergeMarkdown(*merge));
        sourcetree::ExpectFile(file + ".bbcode", cli::MergeBBCode(*merge));
        const std::string page = cli::MergeHtml(*merge);
        sourcetree::ExpectFile(file + ".html", page);
        ExpectSelfContained(page, name);
    }
}

} // namespace
