// korvane-cli's Win32 room: the launcher with the system's job objects and with
// none (as on Windows 98 and ME), and compare as a command with real files:
// every exit status, its messages and the files it writes.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "TestProgram.h"
#include "cli/run/CompareCommand.h"
#include "cli/run/GameJob.h"
#include "driver/Files.h"
#include "framework/Handles.h"

namespace {

TEST(GameJobTest, TimeOutEndsTheGameAndWithAJobWhatItStarted) {
    for (const bool withJobs : {true, false}) {
        SCOPED_TRACE(withJobs ? "with job objects" : "without");
        char folder[MAX_PATH] = {};
        const std::string pidFile = std::string(folder, ::GetTempPathA(MAX_PATH, folder)) + "korvane-job.txt";
        driver::DeleteFileAt(pidFile);
        const cli::JobObjectApi none;
        cli::GameJobLauncher launcher(1000, nullptr, withJobs ? cli::SystemJobObjectApi() : none);
        std::string reason;
        const DWORD before = ::GetTickCount();
        EXPECT_EQ(launcher(OwnPath(), "\"" + OwnPath() + "\" --game " + pidFile, ".", reason),
                  bench::GameEnd::TimedOut);
        const DWORD tookMs = ::GetTickCount() - before;
        const unsigned long childId = std::stoul(driver::ReadTextFile(pidFile).value_or("0"));
        driver::DeleteFileAt(pidFile);
        const framework::UniqueHandle child(
            ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(childId)));
        const bool childAlive = child && ::WaitForSingleObject(child.get(), 0) == WAIT_TIMEOUT;
        if (childAlive) {
            ::TerminateProcess(child.get(), 1);
        }
        EXPECT_EQ(reason, "it ran longer than the time-out of 1 s");
        EXPECT_TRUE(tookMs >= 900 && tookMs < 10000) << tookMs << " ms";
        ASSERT_NE(childId, 0u) << "the game never started its own child";
        EXPECT_EQ(childAlive, !withJobs);
        EXPECT_EQ(launcher.JobsWork(), withJobs);
        EXPECT_EQ(launcher.JobProblem(), withJobs ? "" : "this Windows has no job objects");
    }
    EXPECT_TRUE(cli::SystemJobObjectApi().Present()) << "Wine, like every Windows from 2000 on, has them";
}

// A report of Flyby 1 at `resolution` with these frame rates, as korvane-cli writes it.
std::string ReportOf(const char* resolution, const std::vector<double>& fps) {
    std::string runs;
    for (const double value : fps) {
        runs += std::string(runs.empty() ? "" : ", ") +
                "{\"scene\": 0, \"status\": \"ok\", \"fps\": " + std::to_string(value) + "}";
    }
    return std::string("{\"format\": \"korvane-cli report\", \"formatVersion\": 1, \"options\": ") +
           "{\"renderer\": \"d3d\", \"detail\": \"high\", \"resolution\": \"" + resolution +
           "\"}, \"runs\": [" + runs + "], \"score\": {\"sets\": []}}";
}

TEST(CompareCommandTest, ReadsBothFilesWritesItsOwnAndEndsWithItsStatus) {
    char temp[MAX_PATH] = {};
    const std::string folder = std::string(temp, ::GetTempPathA(MAX_PATH, temp)) + "korvane-compare-test\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const auto file = [&folder](const char* name, const std::string& text) {
        driver::WriteTextFile(folder + name, text);
        return folder + name;
    };
    const std::string base = file("base.json", ReportOf("640x480", {100, 101, 99}));
    const std::string slower = file("slower.json", ReportOf("640x480", {90, 91, 89}));
    const std::string other = file("other.json", ReportOf("800x600", {90, 91, 89}));
    const std::string broken = file("broken.json", "{\"format\": ");
    const std::string missing = folder + "missing.json";
    const std::string json = folder + "c.json", html = folder + "c.html";
    const std::string noFolder = folder + "no\\c.json";
    const std::string cannot =
        "korvane-cli: \"" + missing + "\" cannot be compared: no such file, or it cannot be read\n";
    const struct {
        std::string base, newer, json, html;
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
         "korvane-cli: --json cannot write \"" + noFolder + "\": "},
        {base, slower, "", noFolder, std::nullopt, 2,
         "korvane-cli: --html cannot write \"" + noFolder + "\": "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base + " " + c.newer + " " + c.json + " " + c.html);
        driver::DeleteFileAt(json);
        driver::DeleteFileAt(html);
        std::string out, errors;
        cli::ConsoleOutput console;
        console.print = [&out](const std::string& text) {
            out += text;
        };
        console.printError = [&errors](const std::string& text) {
            errors += text;
        };
        EXPECT_EQ(cli::RunCompare({c.base, c.newer, c.json, c.html, c.failBelow}, console), c.status);
        EXPECT_EQ(errors.substr(0, c.errors.size()), c.errors);
        EXPECT_EQ(errors.empty(), c.errors.empty()) << errors;
        EXPECT_EQ(out.find("korvane-cli compare\nBase: " + c.base + "\n"),
                  c.errors.find("cannot be compared") == std::string::npos ? 0 : std::string::npos);
        const std::string written = driver::ReadTextFile(json).value_or("");
        const std::string page = driver::ReadTextFile(html).value_or("");
        EXPECT_EQ(written.find("\"base\": \"") != std::string::npos, c.json == json) << "the JSON file";
        EXPECT_EQ(page.find("<tr><th>Base</th><td>") != std::string::npos, c.html == html) << "the page";
    }
}

} // namespace
