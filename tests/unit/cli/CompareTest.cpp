// korvane-cli compare: Welch's interval against hand-computed cases, the
// verdicts and the exit status, reports read back or refused with what is wrong
// with them (tests/data/cli/compare/), and the comparison's text, JSON and page.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <tuple>
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

TEST(CompareTest, WelchSatterthwaiteDegreesOfFreedomAndTheTQuantile) {
    // Variances and sizes, base then new; by hand: (v1/n1 + v2/n2)^2 / ((v1/n1)^2/(n1-1) + (v2/n2)^2/(n2-1)).
    const struct {
        double baseVariance;
        std::size_t baseCount;
        double newVariance;
        std::size_t newCount;
        double degreesOfFreedom;
    } cases[] = {
        {4, 3, 8, 2, 32.0 / 19.0}, {2, 2, 2, 2, 2.0}, {1, 6, 1, 6, 10.0},
        {0, 3, 9, 4, 3.0},         {9, 5, 0, 2, 4.0}, {1, 2, 100, 50, 18.846153846153847},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(cli::WelchDegreesOfFreedom(c.baseVariance, c.baseCount, c.newVariance, c.newCount),
                    c.degreesOfFreedom, 1e-12)
            << c.baseVariance << " " << c.baseCount << " " << c.newVariance << " " << c.newCount;
    }
    // From the tables of Student's t, two-sided 95 %.
    const std::pair<double, double> quantiles[] = {
        {1, 12.706204736}, {2, 4.302652730},  {4, 2.776445105},
        {10, 2.228138852}, {30, 2.042272456}, {1e7, 1.959964},
    };
    for (const auto& [degrees, t] : quantiles) {
        EXPECT_NEAR(cli::StudentT975(degrees), t, 1e-6) << degrees;
    }
}

TEST(CompareTest, DifferenceInPercentWithItsInterval) {
    const struct {
        std::vector<double> base, newer;
        std::optional<double> percent, low, high;
        const char* noInterval;
    } cases[] = {
        // Means 11 and 21, both deviations sqrt(2): 2 degrees of freedom, t = 4.302653,
        // a margin of 6.084912 around 10 over 11.
        {{10, 12}, {20, 22}, 90.909090909, 35.592092320, 146.226089498, nullptr},
        // Means 100 and 97, deviations 0.894427: 10 degrees, t = 2.228139, margin 1.150606.
        {{99, 100, 101, 99, 100, 101}, {96, 97, 98, 96, 97, 98}, -3.0, -4.150605956, -1.849394044, nullptr},
        {{100}, {90, 92}, -9.0, std::nullopt, std::nullopt, "one run"},
        {{100, 104}, {95}, -6.862745098, std::nullopt, std::nullopt, "one run"},
        {{50, 50, 50}, {55, 55}, 10.0, std::nullopt, std::nullopt, "no spread"},
        {{}, {1, 2}, std::nullopt, std::nullopt, std::nullopt, nullptr},
        {{1, 2}, {}, std::nullopt, std::nullopt, std::nullopt, nullptr},
        {{0, 0}, {1, 2}, std::nullopt, std::nullopt, std::nullopt, nullptr},
        // Variances past the largest double: the difference, but no interval.
        {{1e306, 1.2e306},
         {1.1e306, 1.3e306},
         9.090909091,
         std::nullopt,
         std::nullopt,
         "values too large for an interval"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.base) + " against " + ::testing::PrintToString(c.newer));
        const std::optional<cli::Difference> difference = CompareValues(c.base, c.newer);
        ASSERT_EQ(difference.has_value(), c.percent.has_value());
        if (!difference) {
            continue;
        }
        EXPECT_NEAR(difference->percent, *c.percent, 1e-8);
        EXPECT_EQ(difference->low.has_value(), c.low.has_value());
        EXPECT_NEAR(difference->low.value_or(0), c.low.value_or(0), 1e-6);
        EXPECT_NEAR(difference->high.value_or(0), c.high.value_or(0), 1e-6);
        EXPECT_STREQ(difference->noInterval, c.noInterval);
        EXPECT_EQ(difference->base.count, c.base.size());
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

TEST(CompareTest, VerdictPerConfigurationAndTheExitStatus) {
    const std::vector<double> same = {100, 101, 99}, faster = {110, 111, 109}, slower = {90, 91, 89};
    const std::vector<double> score = {3700, 3710, 3690}, lowerScore = {3600, 3610, 3590};
    const struct {
        const char* name;
        cli::ConfigurationValues base, newer;
        Verdict verdict;
        int exitBelow5, exitBelow1;
    } cases[] = {
        {"SameScenes", Configuration("640x480", {same, same}), Configuration("640x480", {same, same}),
         Verdict::NoDifference, 0, 0},
        {"OneSceneFaster", Configuration("640x480", {same, same}), Configuration("640x480", {faster, same}),
         Verdict::Faster, 0, 0},
        {"OneSceneSlower", Configuration("640x480", {same, same}), Configuration("640x480", {same, slower}),
         Verdict::Slower, 4, 4},
        {"FasterAndSlower", Configuration("640x480", {same, same}),
         Configuration("640x480", {faster, slower}), Verdict::NoDifference, 4, 4},
        {"SlowerWithoutInterval", Configuration("640x480", {same}), Configuration("640x480", {{80}}),
         Verdict::NoDifference, 0, 0},
        // The score decides, whatever the scenes say; it is 2.7 % lower.
        {"ScoreLower", Configuration("640x480", {same}, score),
         Configuration("640x480", {slower}, lowerScore), Verdict::Slower, 0, 4},
        {"ScoreSame", Configuration("640x480", {same}, score), Configuration("640x480", {slower}, score),
         Verdict::NoDifference, 0, 0},
        {"ScoreOfOneSet", Configuration("640x480", {same}, {3700}),
         Configuration("640x480", {slower}, {3000}), Verdict::NoDifference, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const cli::Comparison comparison = cli::CompareReports({{c.base}}, {{c.newer}});
        ASSERT_EQ(comparison.configurations.size(), 1u);
        EXPECT_EQ(comparison.configurations[0].verdict, c.verdict);
        EXPECT_EQ(cli::CompareExitStatus(comparison, 5.0), c.exitBelow5);
        EXPECT_EQ(cli::CompareExitStatus(comparison, 1.0), c.exitBelow1);
        EXPECT_EQ(cli::CompareExitStatus(comparison, std::nullopt), 0);
    }
    // Lower by more than the percentage, with the whole interval below zero.
    const std::tuple<double, std::optional<double>, bool> edges[] = {
        {-5.0, -1.0, false}, {-5.0001, -1.0, true}, {-9.0, 0.0, false}, {-9.0, std::nullopt, false}};
    for (const auto& [percent, high, falls] : edges) {
        cli::Difference difference;
        difference.percent = percent;
        difference.low = high ? std::optional<double>(*high - 5) : std::nullopt;
        difference.high = high;
        EXPECT_EQ(cli::FallsBelow(difference, 5.0), falls) << percent << " " << high.value_or(99);
    }
    // Configurations are matched by renderer, detail and resolution; scenes only one side holds are left out.
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
std::string Changed(std::string text, std::string find, std::string replace) {
    for (std::string* field : {&find, &replace}) {
        for (std::size_t at = field->find("\\n"); at != std::string::npos; at = field->find("\\n", at)) {
            field->replace(at, 2, "\n");
        }
    }
    const std::size_t at = text.find(find);
    EXPECT_NE(at, std::string::npos) << find;
    return at == std::string::npos ? text : text.replace(at, find.size(), replace);
}

// Reports of every version read back (the runs that gave a frame rate and the
// Korvanes the file records), and each way a member can be wrong refused with
// the member named, never with its value at any length; what a report may hold
// (a value at its bound, a spread without its variation, brackets in a string)
// read.
TEST(CompareTest, ReportsReadBackOrWhatIsWrongWithThem) {
    const std::map<std::string, std::string> reports = {
        {"v1",
         sourcetree::ReadBytes(sourcetree::SourcePath("tests/data/cli/compare/version-1.json")).value_or("")},
        {"v2",
         sourcetree::ReadBytes(sourcetree::SourcePath("tests/data/cli/compare/version-2.json")).value_or("")},
        {"v3",
         sourcetree::ReadBytes(sourcetree::SourcePath("tests/data/cli/output/reports/two-complete-sets.json"))
             .value_or("")},
    };
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
