// korvane-cli compare: Welch's interval against hand-computed cases, the
// verdicts and the exit status, reports read back or refused with what is wrong
// with them (tests/data/cli/compare/), and the comparison's text, JSON and page.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ReportSamples.h"
#include "SourceTree.h"
#include "cli/compare/Comparison.h"
#include "cli/compare/ReportReader.h"
#include "cli/compare/Merge.h"
#include "cli/compare/Welch.h"
#include "cli/output/BBCode.h"
#include "cli/output/Html.h"
#include "cli/output/Markdown.h"
#include "cli/output/Json.h"
#include "cli/output/Text.h"
#include "framework/Format.h"

namespace {

using cli::CompareValues;
using cli::ReportValues;
using cli::Verdict;

// tests/data/cli/compare/welch.txt: the degrees of freedom, then Student's t.
TEST(CompareTest, WelchSatterthwaiteDegreesOfFreedomAndTheTQuantile) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/compare/welch.txt")) {
        if (row.size() == 2) {
            EXPECT_NEAR(cli::StudentT975(std::stod(row[0])), std::stod(row[1]), 1e-6) << row[0];
        } else {
            EXPECT_NEAR(cli::WelchDegreesOfFreedom(std::stod(row[0]), std::stoul(row.at(1)),
                                                   std::stod(row.at(2)), std::stoul(row.at(3))),
                        std::stod(row.at(4)), 1e-12)
                << row[0] << " " << row[1] << " " << row[2] << " " << row[3];
        }
    }
}

// tests/data/cli/compare/differences.txt.
TEST(CompareTest, DifferenceInPercentWithItsInterval) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/compare/differences.txt")) {
        SCOPED_TRACE(row[0] + " against " + row.at(1));
        const std::vector<double> base = sourcetree::Numbers(row[0]);
        const std::optional<cli::Difference> difference = CompareValues(base, sourcetree::Numbers(row[1]));
        const std::optional<double> percent = sourcetree::NumberOrNone(row.at(2));
        const std::optional<double> low = sourcetree::NumberOrNone(row.at(3));
        const std::optional<double> high = sourcetree::NumberOrNone(row.at(4));
        ASSERT_EQ(difference.has_value(), percent.has_value());
        if (!difference) {
            continue;
        }
        EXPECT_NEAR(difference->percent, *percent, 1e-8);
        EXPECT_EQ(difference->low.has_value(), low.has_value());
        EXPECT_NEAR(difference->low.value_or(0), low.value_or(0), 1e-6);
        EXPECT_NEAR(difference->high.value_or(0), high.value_or(0), 1e-6);
        EXPECT_EQ(std::string(difference->noInterval ? difference->noInterval : "-"), row.at(5));
        EXPECT_EQ(difference->base.count, base.size());
    }
}

cli::ConfigurationValues Configuration(const char* resolution, std::vector<std::vector<double>> scenes,
                                       std::vector<double> scores = {}) {
    cli::ConfigurationValues values;
    values.configuration.resolution = resolution;
    for (std::size_t scene = 0; scene < scenes.size(); ++scene) {
        if (!scenes[scene].empty()) {
            values.sceneFps[static_cast<int>(scene)] = scenes[scene];
        }
    }
    values.scores = std::move(scores);
    return values;
}

// tests/data/cli/compare/verdicts.txt, the edge of --fail-below (falls-below.txt), and which
// configurations are compared.
TEST(CompareTest, VerdictPerConfigurationAndTheExitStatus) {
    const auto configuration = [](const std::string& scenes, const std::string& scores) {
        std::vector<std::vector<double>> fps;
        for (const std::string& values : sourcetree::Split(scenes, ';')) {
            fps.push_back(sourcetree::Numbers(values));
        }
        return Configuration("640x480", fps, sourcetree::Numbers(scores));
    };
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/compare/verdicts.txt")) {
        SCOPED_TRACE(row[0] + " | " + row.at(1) + " against " + row.at(2) + " | " + row.at(3));
        const cli::Comparison comparison =
            cli::CompareReports({{configuration(row[0], row[1])}}, {{configuration(row[2], row[3])}});
        ASSERT_EQ(comparison.configurations.size(), 1u);
        EXPECT_EQ(cli::VerdictName(comparison.configurations[0].verdict), row.at(4));
        EXPECT_EQ(cli::CompareExitStatus(comparison, 5.0), std::stoi(row.at(5)));
        EXPECT_EQ(cli::CompareExitStatus(comparison, 1.0), std::stoi(row.at(6)));
        EXPECT_EQ(cli::CompareExitStatus(comparison, std::nullopt), 0);
    }
    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/compare/falls-below.txt")) {
        cli::Difference difference;
        difference.percent = std::stod(row[0]);
        difference.high = sourcetree::NumberOrNone(row.at(1));
        difference.low = difference.high ? std::optional<double>(*difference.high - 5) : std::nullopt;
        EXPECT_EQ(cli::FallsBelow(difference, 5.0), row.at(2) == "yes") << row[0] << " " << row[1];
    }
    // Configurations are matched by renderer, detail and resolution; scenes only one side holds are left out.
    const std::vector<double> same = {100, 101, 99}, slower = {90, 91, 89};
    ReportValues base{{Configuration("640x480", {same, same}), Configuration("800x600", {same})}};
    ReportValues newer{{Configuration("1024x768", {same}), Configuration("640x480", {{}, slower, same})}};
    newer.configurations[1].configuration.renderer = bench::Renderer::Direct3D;
    const cli::Comparison comparison = cli::CompareReports(base, newer);
    ASSERT_EQ(comparison.configurations.size(), 1u);
    EXPECT_EQ(comparison.configurations[0].scenes.size(), 1u);
    EXPECT_EQ(comparison.configurations[0].scenes[0].sceneIndex, 1);
    EXPECT_EQ(comparison.onlyInBase, std::vector<std::string>{"Direct3D 8.1, High, 800x600"});
    EXPECT_EQ(comparison.onlyInNew, std::vector<std::string>{"Direct3D 8.1, High, 1024x768"});
}

// `text` with the first `find` in it replaced by `replace`; "\n" in either is a line break.
std::string Changed(std::string text, const std::string& find, const std::string& replace) {
    const std::string from = sourcetree::Replaced(find, "\\n", "\n");
    const std::string to = sourcetree::Replaced(replace, "\\n", "\n");
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << find;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// Reports of every version read back (the runs that gave a frame rate and the
// Korvanes the file records), and each way a member can be wrong refused with
// the member named, never with its value at any length; what a report may hold
// (a value at its bound, a spread without its variation, brackets in a string)
// read.
TEST(CompareTest, ReportsReadBackOrWhatIsWrongWithThem) {
    std::map<std::string, std::string> reports;
    for (const auto& [version, file] :
         {std::pair("v1", "cli/compare/version-1.json"), std::pair("v2", "cli/compare/version-2.json"),
          std::pair("v3", "cli/output/reports/two-complete-sets.json")}) {
        reports[version] =
            sourcetree::ReadBytes(sourcetree::SourcePath(std::string("tests/data/") + file)).value_or("");
    }
    for (const auto& [version, text] : reports) {
        std::string problem;
        const std::optional<ReportValues> read = cli::ReadReportValues(text, problem);
        ASSERT_TRUE(read) << version << ": " << problem;
        ASSERT_EQ(read->configurations.size(), 1u);
        const cli::ConfigurationValues& values = read->configurations[0];
        EXPECT_EQ(cli::ConfigurationText(values.configuration), "Direct3D 8.1, High, 1024x768");
        EXPECT_EQ(values.sceneFps.size(), 6u) << "only runs that gave a frame rate";
        EXPECT_EQ(values.sceneFps.at(2), (std::vector<double>{44, 45, 40})) << version;
        EXPECT_EQ(values.sceneFps.at(5), (std::vector<double>{34, 35, 40})) << version;
        EXPECT_EQ(values.scores, (std::vector<double>{3700.000110268593, 3800.000113248825})) << version;
    }

    for (const std::vector<std::string>& row : sourcetree::ReadTable("cli/compare/bad-reports.txt")) {
        const std::string text =
            row.at(0) == "-" ? Changed(row.at(2), "", "") : Changed(reports.at(row[0]), row[1], row[2]);
        std::string why;
        EXPECT_EQ(cli::ReadReportValues(text, why).has_value(), row.at(3) == "(read)")
            << row[1] << " -> " << row[2];
        EXPECT_EQ(why, row.at(3) == "(read)" ? "" : row.at(3)) << row[1] << " -> " << row[2];
    }
    // Nesting: as deep as a report may go is read as JSON; deeper is refused
    // before it is parsed, however deep, in any member.
    for (const int levels : {cli::kMaxReportNesting - 1, cli::kMaxReportNesting, 20000}) {
        const std::string nested = std::string(static_cast<std::size_t>(levels), '[') + "3" +
                                   std::string(static_cast<std::size_t>(levels), ']');
        std::string why;
        EXPECT_FALSE(cli::ReadReportValues(
            Changed(reports.at("v3"), "\"formatVersion\": 3", "\"formatVersion\": " + nested), why));
        EXPECT_EQ(why, levels < cli::kMaxReportNesting
                           ? "its formatVersion is not one this program reads (1, 2 or 3)"
                           : "it nests its values deeper than any report (more than 64 levels)")
            << levels;
        EXPECT_FALSE(
            cli::ReadReportValues(Changed(reports.at("v3"), "\"fps\": 40.0", "\"fps\": " + nested), why));
        EXPECT_LT(why.size(), 200u) << levels;
    }
}

// The comparison as text, JSON and page: the files tests/data/cli/output/reports/compare holds.
TEST(CompareTest, TextJsonAndPageAsTheirExpectedFiles) {
    const ReportValues base{
        {Configuration("640x480", {{10, 12}, {}, {}, {50}}, {3700, 3710}), Configuration("800x600", {{9}})}};
    const ReportValues newer{{Configuration("640x480", {{20, 22}, {}, {}, {55}}, {3600, 3610})}};
    const cli::Comparison comparison = cli::CompareReports(base, newer);
    sourcetree::ExpectFile("cli/output/reports/compare/comparison.txt",
                           cli::CompareText(comparison, "a.json", "b.json"));
    sourcetree::ExpectFile("cli/output/reports/compare/comparison.json",
                           cli::CompareJson(comparison, "a.json", "b.json", 2.5));
    sourcetree::ExpectFile("cli/output/reports/compare/no-fail-below.json",
                           cli::CompareJson(comparison, "a.json", "b.json", std::nullopt));
    sourcetree::ExpectFile("cli/output/reports/compare/comparison.md",
                           cli::CompareMarkdown(comparison, "a.json", "b_c.json"));
    sourcetree::ExpectFile("cli/output/reports/compare/comparison.bbcode",
                           cli::CompareBBCode(comparison, "a.json", "b.json"));
    const std::string page = cli::CompareHtml(comparison, "a.json", "b&c.json");
    sourcetree::ExpectFile("cli/output/reports/compare/comparison.html", page);
    EXPECT_EQ(page.find("<script"), std::string::npos);
}

// merge's labels: the facts that differ, joined in their order; the file's name
// when none does; a number for each of equal ones; one given by hand.
TEST(MergeTest, LabelsFromTheFactsThatDiffer) {
    const auto labels = [](std::vector<cli::MergeInput> inputs) {
        std::string problem;
        const std::optional<cli::Merge> merge = cli::MergeReports(inputs, "", problem);
        std::string joined;
        for (const cli::MergedReport& report : merge ? merge->reports : std::vector<cli::MergedReport>()) {
            joined += (joined.empty() ? "" : " | ") + report.label;
        }
        return merge ? joined : "problem: " + problem;
    };
    cli::CallReport base = samples::FullCall(1.0, 2);
    cli::CallReport other = base;
    EXPECT_EQ(labels({samples::Input(base, "C:\\r\\a.json"), samples::Input(other, "b.json")}),
              "a.json | b.json");
    other.machine.osName = "Windows 98";
    other.machine.frequency = "1999.51 MHz";
    other.machine.ramSize = "513 MByte";
    other.adapter->driverVersion = "6.14.10.6343";
    EXPECT_EQ(
        labels({samples::Input(base, "a.json"), samples::Input(other, "b.json")}),
        "driver 6.14.10.6292, 1467 MHz, 257 MByte, Windows XP | driver 6.14.10.6343, 2000 MHz, 513 MByte, "
        "Windows 98");
    cli::CallReport third = base;
    third.machine.videoCard = "GeForce4 Ti 4600";
    third.plan.runs = 3;
    EXPECT_EQ(labels({samples::Input(base, "a.json"), samples::Input(third, "b.json"),
                      samples::Input(base, "c.json")}),
              "RADEON 9700, 6 scenes, 2 runs (1) | GeForce4 Ti 4600, 6 scenes, 3 runs | RADEON 9700, 6 "
              "scenes, 2 runs (2)");
    std::vector<cli::MergeInput> byHand = {samples::Input(base, "a.json"), samples::Input(third, "b.json")};
    byHand[1].label = "The GeForce";
    EXPECT_EQ(labels(byHand), "RADEON 9700, 6 scenes, 2 runs | The GeForce");
    cli::CallReport elsewhere = samples::FullCall(1.0, 2, {"640x480"});
    EXPECT_EQ(labels({samples::Input(base, "a.json"), samples::Input(elsewhere, "b.json")}),
              "problem: the reports share no configuration");
}

// The index: the geometric mean of the ratios to the reference over the
// configurations both hold; the reference is 100; the ranking by it.
TEST(MergeTest, TheIndexIsTheGeometricMeanOfTheRatiosToTheReference) {
    const std::vector<std::string> both = {"1024x768", "1600x1200"};
    cli::CallReport reference = samples::FullCall(1.0, 2, both);
    cli::CallReport mixed = samples::FullCall(0.8, 2, both); // 0.8 at 1024x768 ...
    const cli::CallReport faster = samples::FullCall(1.25, 2, both);
    mixed.configurations[1] = faster.configurations[1]; // ... and 1.25 at 1600x1200: 100
    const cli::CallReport half = samples::FullCall(0.5, 2, {"1024x768"});
    std::vector<cli::MergeInput> inputs = {samples::Input(mixed, "mixed.json"),
                                           samples::Input(reference, "ref.json"),
                                           samples::Input(half, "half.json")};
    inputs[0].label = "mixed";
    inputs[1].label = "ref";
    inputs[2].label = "half";
    std::string problem;
    const std::optional<cli::Merge> merge = cli::MergeReports(inputs, "ref", problem);
    ASSERT_TRUE(merge) << problem;
    EXPECT_EQ(merge->reference, 1);
    std::string ranking;
    for (const cli::IndexEntry& entry : merge->ranking) {
        ranking += framework::Format("%s %.3f %d; ",
                                     merge->reports[static_cast<std::size_t>(entry.report)].label.c_str(),
                                     entry.index.value_or(-1), entry.configurations);
    }
    EXPECT_EQ(ranking, "mixed 100.000 2; ref 100.000 2; half 50.000 1; ");
    ASSERT_EQ(merge->configurations.size(), 2u);
    ASSERT_TRUE(merge->configurations[0].reports[0].score);
    EXPECT_NEAR(merge->configurations[0].reports[0].score->percent, -20.0, 1e-4); // the window's float sums
    EXPECT_FALSE(cli::MergeReports(inputs, "nobody", problem));
    EXPECT_EQ(problem, "--reference \"nobody\" names no report; the labels are: mixed; ref; half");
}

} // namespace
