// korvane-cli compare: Welch's interval against hand-computed cases, the
// verdicts and the exit status, reading reports back, and the texts.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "SourceTree.h"
#include "cli/Compare.h"
#include "cli/ReportHtml.h"

namespace {

using cli::CompareValues;
using cli::ReportValues;
using cli::Verdict;

TEST(CompareTest, ArgumentsOrTheMessageThatNamesABadOne) {
    const auto describe = [](const std::vector<std::string>& arguments) {
        const cli::ParsedArguments parsed = cli::ParseArguments(arguments);
        const cli::CompareOptions& o = parsed.compare;
        if (!parsed.error.empty()) {
            return "error: " + parsed.error;
        }
        return std::string(parsed.command == cli::Command::Compare ? "compare" : "other") + " [" +
               o.basePath + "] [" + o.newPath + "] [" + o.jsonPath + "] " +
               (o.failBelowPercent ? std::to_string(*o.failBelowPercent) : "-");
    };
    const std::string pair = "error: compare takes two reports: korvane-cli compare BASE.json NEW.json";
    const std::string percent = "error: --fail-below takes a percentage from 0 to 100, not ";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"compare", "a.json", "b.json"}, "compare [a.json] [b.json] [] -"},
        {{"compare", "--fail-below", "2.5", "a.json", "--json=c.json", "b.json"},
         "compare [a.json] [b.json] [c.json] 2.500000"},
        {{"compare", "a", "b", "--fail-below=.25"}, "compare [a] [b] [] 0.250000"},
        {{"compare", "a", "b", "--fail-below", "100"}, "compare [a] [b] [] 100.000000"},
        {{"compare", "a", "b", "--fail-below", "0"}, "compare [a] [b] [] 0.000000"},
        {{"compare", "a", "--help"}, "other [] [] [] -"},
        {{"compare"}, pair},
        {{"compare", "a"}, pair},
        {{"compare", "a", "b", "c"}, pair},
        {{"compare", "a", "b", "--fail-below", "100.5"}, percent + "\"100.5\""},
        {{"compare", "a", "b", "--fail-below", "5."}, percent + "\"5.\""},
        {{"compare", "a", "b", "--fail-below", "-3"}, percent + "\"-3\""},
        {{"compare", "a", "b", "--fail-below", "1e2"}, percent + "\"1e2\""},
        {{"compare", "a", "b", "--fail-below"}, "error: --fail-below needs a value"},
        {{"compare", "a", "b", "--json", "x", "--json", "y"}, "error: --json is given more than once"},
        {{"compare", "a", "b", "--json="}, "error: --json needs a file name"},
        {{"compare", "a", "b", "--json", "b"}, "error: --json names a report being compared"},
        {{"compare", "a", "b", "--html", "a"}, "error: --html names a report being compared"},
        {{"compare", "a", "b", "--html", "x", "--json=x"}, "error: --json and --html name the same file"},
        {{"compare", "a", "b", "--html="}, "error: --html needs a file name"},
        {{"compare", "a", "b", "--runs", "2"}, "error: compare: unknown argument \"--runs\""},
        {{"a", "compare"}, "error: unknown argument \"a\""},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(describe(arguments), expected) << ::testing::PrintToString(arguments);
    }
}

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
        std::vector<double> base, now;
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.base) + " against " + ::testing::PrintToString(c.now));
        const std::optional<cli::Difference> difference = CompareValues(c.base, c.now);
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
    values.resolution = resolution;
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
        cli::ConfigurationValues base, now;
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
        const cli::Comparison comparison = cli::CompareReports({{c.base}}, {{c.now}});
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
    ReportValues now{{Configuration("1024x768", {same}), Configuration("640x480", {{}, slower, same})}};
    now.configurations[1].renderer = bench::Renderer::Direct3D;
    const cli::Comparison comparison = cli::CompareReports(base, now);
    ASSERT_EQ(comparison.configurations.size(), 1u);
    EXPECT_EQ(comparison.configurations[0].scenes.size(), 1u);
    EXPECT_EQ(comparison.configurations[0].scenes[0].sceneIndex, 1);
    EXPECT_EQ(comparison.onlyInBase, std::vector<std::string>{"Direct3D 8.1, High, 800x600"});
    EXPECT_EQ(comparison.onlyInNew, std::vector<std::string>{"Direct3D 8.1, High, 1024x768"});
}

TEST(CompareTest, ReportsReadBackOrWhatIsWrongWithThem) {
    const std::string v1 = R"({"format": "korvane-cli report", "formatVersion": 1,
        "options": {"renderer": "opengl", "detail": "low", "resolution": "800x600"},
        "runs": [{"scene": 0, "status": "ok", "fps": 41.5}, {"scene": 0, "status": "timed-out", "fps": null},
                 {"scene": 3, "status": "no-number", "fps": 0}, {"scene": 0, "status": "ok", "fps": 40}],
        "score": {"sets": [{"korvanes": 3700.5}]}})";
    std::string problem;
    const std::optional<ReportValues> read = cli::ReadReportValues(v1, problem);
    ASSERT_TRUE(read) << problem;
    ASSERT_EQ(read->configurations.size(), 1u);
    const cli::ConfigurationValues& values = read->configurations[0];
    EXPECT_EQ(values.renderer, bench::Renderer::OpenGL);
    EXPECT_EQ(values.detail, bench::Detail::Low);
    EXPECT_EQ(values.resolution, "800x600");
    EXPECT_EQ(values.sceneFps.size(), 1u) << "only runs that gave a frame rate";
    EXPECT_EQ(values.sceneFps.at(0), (std::vector<double>{41.5, 40}));
    EXPECT_EQ(values.scores, std::vector<double>{3700.5});

    const std::string report = R"({"format": "korvane-cli report", "formatVersion": )";
    const std::string options =
        R"({"options": {"renderer": "d3d", "detail": "high", "resolution": "640x480"},)";
    const std::pair<std::string, std::string> bad[] = {
        {"", "it is not JSON"},
        {"{\"format\": \"korvane-cli report\",", "it is not JSON"},
        {"[1, 2]", "it is no korvane-cli report (its \"format\" is not \"korvane-cli report\")"},
        {"{\"format\": \"korvane-cli comparison\"}",
         "it is no korvane-cli report (its \"format\" is not \"korvane-cli report\")"},
        {report + "3}", "its format version 3 is not one this program reads (1 or 2)"},
        {report + "\"2\"}", "its format version \"2\" is not one this program reads (1 or 2)"},
        {report + "2}", "it does not hold what a report holds: key 'configurations' not found"},
        {report + "2, \"configurations\": [" + options + R"( "runs": [{"scene": 6}]}]})",
         "it does not hold what a report holds: a run's scene is not 0 to 5"},
        {report + "2, \"configurations\": [" + options + R"( "runs": [{"scene": "0"}]}]})",
         "it does not hold what a report holds: type must be number, but is string"},
        {report + R"(1, "options": {"renderer": "glide", "detail": "high", "resolution": "640x480"}})",
         "it does not hold what a report holds: a configuration's renderer is not d3d or opengl, or its "
         "detail not high or low"},
    };
    for (const auto& [text, expected] : bad) {
        std::string why;
        EXPECT_FALSE(cli::ReadReportValues(text, why)) << text;
        EXPECT_EQ(why, expected) << text;
    }
}

// The comparison as text, JSON and page: the files tests/data/reports/compare holds.
TEST(CompareTest, TextJsonAndPageAsTheirExpectedFiles) {
    const ReportValues base{
        {Configuration("640x480", {{10, 12}, {}, {}, {50}}, {3700, 3710}), Configuration("800x600", {{9}})}};
    const ReportValues now{{Configuration("640x480", {{20, 22}, {}, {}, {55}}, {3600, 3610})}};
    const cli::Comparison comparison = cli::CompareReports(base, now);
    sourcetree::ExpectFile("reports/compare/comparison.txt",
                           cli::CompareText(comparison, "a.json", "b.json"));
    sourcetree::ExpectFile("reports/compare/comparison.json",
                           cli::CompareJson(comparison, "a.json", "b.json", 2.5));
    sourcetree::ExpectFile("reports/compare/no-fail-below.json",
                           cli::CompareJson(comparison, "a.json", "b.json", std::nullopt));
    const std::string page = cli::CompareHtml(comparison, "a.json", "b&c.json");
    sourcetree::ExpectFile("reports/compare/comparison.html", page);
    EXPECT_EQ(page.find("<script"), std::string::npos);
}

// A report of one configuration with Flyby 1's frame rates.
std::string ReportText(const char* resolution, const std::vector<double>& fps) {
    std::string runs;
    for (const double value : fps) {
        runs += std::string(runs.empty() ? "" : ", ") +
                "{\"scene\": 0, \"status\": \"ok\", \"fps\": " + std::to_string(value) + "}";
    }
    return std::string(
               "{\"format\": \"korvane-cli report\", \"formatVersion\": 1, \"options\": {\"renderer\": "
               "\"d3d\", \"detail\": \"high\", \"resolution\": \"") +
           resolution + "\"}, \"runs\": [" + runs + "], \"score\": {\"sets\": []}}";
}

TEST(CompareTest, TheCommandReadsBothFilesWritesItsOwnAndEndsWithItsStatus) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvane-compare-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto file = [&folder](const char* name, const std::string& text) {
        std::ofstream((folder / name).string(), std::ios::binary) << text;
        return (folder / name).string();
    };
    const std::string base = file("base.json", ReportText("640x480", {100, 101, 99}));
    const std::string slower = file("slower.json", ReportText("640x480", {90, 91, 89}));
    const std::string other = file("other.json", ReportText("800x600", {90, 91, 89}));
    const std::string broken = file("broken.json", "{\"format\": ");
    const std::string missing = (folder / "missing.json").string();
    const std::string json = (folder / "c.json").string(), html = (folder / "c.html").string();
    const std::string noFolder = (folder / "no" / "c.json").string();
    const std::string cannot =
        "korvane-cli: \"" + missing + "\" cannot be compared: no such file, or it cannot be read\n";
    const struct {
        std::string base, now, json, html;
        std::optional<double> failBelow;
        int status;
        std::string errors;
    } cases[] = {
        {base, slower, json, html, std::nullopt, 0, ""},
        {base, slower, "", "", 5.0, 4, ""},
        {base, slower, "", "", 15.0, 0, ""},
        {missing, missing, "", "", std::nullopt, 2, cannot + cannot},
        {base, broken, "", "", std::nullopt, 2,
         "korvane-cli: \"" + broken + "\" cannot be compared: it is not JSON\n"},
        {base, other, "", "", std::nullopt, 2,
         "korvane-cli: \"" + base + "\" and \"" + other + "\" hold no configuration in common\n"},
        {base, slower, noFolder, "", std::nullopt, 2,
         "korvane-cli: --json cannot write \"" + noFolder + "\"\n"},
        {base, slower, "", noFolder, std::nullopt, 2,
         "korvane-cli: --html cannot write \"" + noFolder + "\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base + " " + c.now + " " + c.json + " " + c.html);
        std::filesystem::remove(json);
        std::filesystem::remove(html);
        std::ostringstream out, errors;
        EXPECT_EQ(cli::RunCompare({c.base, c.now, c.json, c.html, c.failBelow}, out, errors), c.status);
        EXPECT_EQ(errors.str(), c.errors);
        EXPECT_EQ(out.str().find("korvane-cli compare\nBase: " + c.base + "\n"),
                  c.errors.find("cannot be compared") == std::string::npos ? 0 : std::string::npos);
        std::ifstream written(json), page(html);
        EXPECT_EQ(written.good(), c.json == json) << "the JSON file";
        EXPECT_EQ(page.good(), c.html == html) << "the page";
        if (written.good()) {
            EXPECT_EQ(written.get(), '{');
        }
    }
    std::filesystem::remove_all(folder);
}

} // namespace
