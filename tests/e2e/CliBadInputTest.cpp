// korvane-cli called in ways that end before any game starts, with its status and
// message: help, version, no demo, one file by other names, paths that cannot be
// written, a folder without the renderer ini files, reports --resume cannot go on
// with (tests/data/e2e/cli-ends-before-a-game.txt); every file it names keeps its
// bytes. And --resume of a complete report or another machine's, and merge.
#include "KorvaneFixture.h"
#include "SourceTree.h"

namespace e2e {
namespace {

class CliBadInput : public KorvaneTest {};

struct EndCase {
    std::string name, setup, arguments, start; // the start of its errors (of its output for status 0)
    DWORD status;
    std::vector<std::pair<std::string, std::string>> files; // made first in its folder: name and text
};

std::vector<EndCase> EndCases() {
    std::vector<EndCase> cases;
    for (const std::vector<std::string>& row : sourcetree::ReadTable("e2e/cli-ends-before-a-game.txt")) {
        std::vector<std::pair<std::string, std::string>> files;
        for (const std::string& file : Split(row.at(2), " | ")) {
            files.emplace_back(file.substr(0, file.find('=')), file.substr(file.find('=') + 1));
        }
        cases.push_back({row.at(0), row.at(1), row.at(3), Unescaped(row.at(5)),
                         static_cast<DWORD>(std::stoul(row.at(4))), files});
    }
    return cases;
}

class CliEnd : public CliBadInput, public ::testing::WithParamInterface<EndCase> {};

TEST_P(CliEnd, WithItsStatusAndMessageBeforeAnyGameStartsChangingNoFile) {
    const EndCase& test = GetParam();
    if (test.setup == "no demo key") {
        ASSERT_TRUE(demo_key::Delete());
    } else {
        ASSERT_NO_FATAL_FAILURE(InstallDemo());
    }
    ASSERT_TRUE(MakeFolders(KorvaneFolder()));
    for (const auto& [name, text] : test.files) {
        ASSERT_TRUE(WriteTextFile(Path(name), text)) << name;
    }
    ASSERT_NO_FATAL_FAILURE(StartCli(test.arguments, false, test.setup != "no ini files"));
    const CliResult result = FinishCli(30000);
    EXPECT_EQ(result.exitStatus, std::optional<DWORD>(test.status)) << result;
    const std::string& printed = test.status == 0 ? result.output : result.errors;
    EXPECT_EQ(printed.substr(0, test.start.size()), test.start) << result;
    EXPECT_EQ(test.status == 0 ? result.errors : result.output, "") << result;
    EXPECT_TRUE(GameStarts().empty()) << "a game was started";
    for (const auto& [name, text] : test.files) {
        EXPECT_EQ(ReadTextFile(Path(name)), std::optional<std::string>(text)) << name << " changed";
    }
}
INSTANTIATE_TEST_SUITE_P(Cli, CliEnd, ::testing::ValuesIn(EndCases()), CaseName());

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
    ExpectTexts("merge", result);
}

} // namespace
} // namespace e2e
