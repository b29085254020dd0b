// korvane-cli given bad input where the file system matters: one file by other
// names, paths that cannot be written, a folder without the renderer ini files,
// reports --resume cannot go on with. Each case ends with its status and
// message before any game starts, and every file it names keeps its bytes.
#include <algorithm>

#include "KorvaneFixture.h"

namespace e2e {
namespace {

class CliBadInput : public KorvaneTest {};

struct BadInputCase {
    const char* name;
    // The files made first, in korvane-cli's folder: name and text.
    std::vector<std::pair<std::string, std::string>> files;
    std::string arguments;
    DWORD status;
    std::string message; // the start of what it prints on standard error (standard output for status 0)
    std::vector<const char*> unchanged; // files that must keep their bytes
    bool withIniFiles = true;
};

constexpr char kReport[] = "{\"format\": \"korvane-cli report\"}";
constexpr char kComparison[] = "{\"format\": \"korvane-cli comparison\", \"formatVersion\": 1}";

// clang-format off
const BadInputCase kBadInputCases[] = {
    {"CompareJsonIsTheBaseByAnotherName", {{"base.json", kReport}, {"new.json", kReport}},
     "compare base.json new.json --json .\\base.json", 2,
     "korvane-cli: --json \".\\base.json\" names a report being compared\n", {"base.json", "new.json"}},
    {"CompareHtmlIsTheNewReport", {{"base.json", kReport}, {"new.json", kReport}},
     "compare base.json new.json --html .\\new.json", 2,
     "korvane-cli: --html \".\\new.json\" names a report being compared\n", {"base.json", "new.json"}},
    {"RunJsonAndCsvOneFile", {{"a", "kept"}}, "--scenes flyby1 --json a --csv A", 2,
     "korvane-cli: --json and --csv name the same file\n", {"a"}},
    {"RunCsvOnAMissingDrive", {{"keep.json", "kept"}}, "--scenes flyby1 --json keep.json --csv Q:\\nope\\x.csv", 2,
     "korvane-cli: --csv cannot write \"", {"keep.json"}},
    {"StartedOutsideKorvanesFolder", {{"keep.json", "kept"}}, "--scenes flyby1 --json keep.json", 2,
     "korvane-cli: the game would be handed the renderer settings MaxDetailD3D.ini of the current folder, ",
     {"keep.json"}, false},
    {"ResumeAComparison", {{"c.json", kComparison}}, "--resume c.json", 2,
     "korvane-cli: \"c.json\" cannot be resumed: it is no korvane-cli report (its \"format\" is not \"korvane-cli "
     "report\")\n", {"c.json"}},
    {"ResumeNoReport", {}, "--resume r.json", 2,
     "korvane-cli: \"r.json\" cannot be resumed: no such file, or it cannot be read\n", {}},
    {"ResumeWithARunOption", {}, "--resume r.json --runs 2", 2,
     "korvane-cli: --resume takes every option from its report: --runs cannot be given beside it\n", {}},
    {"MergeAComparison", {{"a.json", kReport}, {"c.json", kComparison}}, "merge a.json c.json", 2,
     "korvane-cli: \"a.json\" cannot be merged: it does not hold what a report holds: it has no member ", {"a.json", "c.json"}},
    {"MergeHtmlIsAReportInCapitals", {{"a.json", kReport}, {"b.json", kReport}}, "merge a.json b.json --html .\\A.JSON",
     2, "korvane-cli: --html \".\\A.JSON\" names a report being merged\n", {"a.json", "b.json"}},
};
// clang-format on

class CliBadInputTable : public CliBadInput, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(CliBadInputTable, EndsWithItsStatusAndMessageBeforeAnyGameStartsAndChangesNoFile) {
    const BadInputCase& test = GetParam();
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(MakeFolders(KorvaneFolder()));
    for (const auto& [name, text] : test.files) {
        ASSERT_TRUE(WriteTextFile(Path(name), text)) << name;
    }
    ASSERT_NO_FATAL_FAILURE(StartCli(test.arguments, false, test.withIniFiles));
    const CliResult result = FinishCli(30000);
    EXPECT_EQ(result.exitStatus, std::optional<DWORD>(test.status)) << result;
    EXPECT_EQ(result.errors.substr(0, test.message.size()), test.message) << result;
    EXPECT_TRUE(GameStarts().empty()) << "a game was started";
    for (const char* name : test.unchanged) {
        const auto made = std::find_if(test.files.begin(), test.files.end(),
                                       [&](const auto& file) { return file.first == name; });
        ASSERT_NE(made, test.files.end());
        EXPECT_EQ(ReadTextFile(Path(name)), std::optional<std::string>(made->second)) << name << " changed";
    }
}
INSTANTIATE_TEST_SUITE_P(Cli, CliBadInputTable, ::testing::ValuesIn(kBadInputCases), CaseName());

// --resume of a report that is complete runs nothing; of a report from another
// machine, it names what differs.
TEST_F(CliBadInput, ResumeOfACompleteReportOrAnotherMachinesRunsNothing) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[all]\r\nfps=50\r\n"));
    CliResult result = RunCli("--scenes flyby1 --runs 1 --quiet --json done.json", 1);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(0)) << result;
    const std::string done = Read("done.json");
    ASSERT_TRUE(Contains(done, "\"complete\": true")) << done;

    result = RunCli("--resume done.json", 0);
    EXPECT_EQ(result.exitStatus, std::optional<DWORD>(0)) << result;
    EXPECT_EQ(result.output, "korvane-cli: \"done.json\" is complete: there is nothing to resume.\n")
        << result;
    EXPECT_EQ(ReadTextFile(Path("done.json")), std::optional<std::string>(done));

    std::string elsewhere = done;
    elsewhere.replace(elsewhere.find("\"complete\": true"), 16, "\"complete\": false");
    const std::size_t processor = elsewhere.find("\"processor\": \"") + 14;
    elsewhere.replace(processor, elsewhere.find('"', processor) - processor, "Pentium III");
    ASSERT_TRUE(WriteTextFile(Path("elsewhere.json"), elsewhere));
    result = RunCli("--resume elsewhere.json", 0);
    EXPECT_EQ(result.exitStatus, std::optional<DWORD>(2)) << result;
    EXPECT_EQ(
        result.errors.rfind("korvane-cli: \"elsewhere.json\" was measured on another machine: its processor "
                            "is \"Pentium III\", this machine's \"",
                            0),
        0u)
        << result;
    EXPECT_EQ(GameStarts().size(), 1u) << "a game was started";
    EXPECT_EQ(ReadTextFile(Path("elsewhere.json")), std::optional<std::string>(elsewhere));
}

// Reports korvane-cli wrote against the stand-in, merged: one per "card", the
// second 10 % slower; every file merge writes.
TEST_F(CliBadInput, MergesTheReportsItWrote) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    for (const auto& [name, fps] : {std::make_pair("fast.json", "50"), std::make_pair("slow.json", "45")}) {
        ASSERT_TRUE(WriteStandInSettings(Demo(), std::string("[all]\r\nfps=") + fps + "\r\n"));
        const CliResult run =
            RunCli(std::string("--scenes flyby1,botmatch1 --runs 2 --quiet --json ") + name, 4);
        ASSERT_EQ(run.exitStatus, std::optional<DWORD>(0)) << run;
    }
    const CliResult result = RunCli(
        "merge fast.json slow.json --json m.json --csv m.csv --html m.html --markdown m.md --bbcode m.txt",
        0);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(0)) << result;
    EXPECT_EQ(result.output.rfind("korvane-cli merge\n  1  fast.json (the reference)\n  2  slow.json\n", 0),
              0u)
        << result;
    EXPECT_TRUE(Contains(result.output,
                         "\n  2  slow.json    90.0  1 configuration; from the scenes' frame rates "
                         "where there was no score\n"))
        << result;
    EXPECT_TRUE(Contains(Read("m.json"), "\"format\": \"korvane-cli merge\""));
    EXPECT_TRUE(Contains(Read("m.md"), "| 2 | slow.json | 90.0 |"));
    EXPECT_TRUE(Contains(Read("m.txt"), "[code]\n"));
    EXPECT_TRUE(Contains(Read("m.csv"), "\r\nslow.json,d3d,high,1024x768,0,"));
    EXPECT_TRUE(Contains(Read("m.html"), "</html>\n"));
}

} // namespace
} // namespace e2e
