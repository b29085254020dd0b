// korvane-cli's Win32 room: the launcher with the system's job objects and with
// none (as on Windows 98 and ME), and compare as a command with real files:
// every exit status, its messages and the files it writes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "SourceTree.h"
#include "TestProgram.h"
#include "cli/ReportSamples.h"
#include "cli/output/Json.h"
#include "cli/run/CompareCommand.h"
#include "cli/run/Files.h"
#include "cli/run/GameJob.h"
#include "driver/Files.h"
#include "framework/Handles.h"
#include "framework/SystemError.h"

namespace {

// A folder of its own under the temporary folder, made empty.
std::string FreshFolder(const char* name) {
    char temp[MAX_PATH] = {};
    const std::string folder = std::string(temp, ::GetTempPathA(MAX_PATH, temp)) + name + "\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* leftover : {"r.json", "r.json.korvane-new", "ro.json", "held.json", "pid.txt"}) {
        ::SetFileAttributesA((folder + leftover).c_str(), FILE_ATTRIBUTE_NORMAL);
        driver::DeleteFileAt(folder + leftover);
    }
    return folder;
}

TEST(GameJobTest, TimeOutEndsTheGameAndWithAJobWhatItStarted) {
    for (const bool withJobs : {true, false}) {
        SCOPED_TRACE(withJobs ? "with job objects" : "without");
        const std::string pidFile = FreshFolder("korvane-job-test") + "pid.txt";
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

// A field of the tables of tests/data/win32 with its escapes made bytes and {folder} made
// `folder` without its closing separator ("-": nothing).
std::string Field(const std::string& field, const std::string& folder) {
    return sourcetree::Replaced(field == "-" ? "" : sourcetree::Unescaped(field), "{folder}",
                                folder.substr(0, folder.size() - 1));
}

// A report of Flyby 1 at `resolution` with these frame rates, as korvane-cli writes it.
std::string ReportOf(const char* resolution, const std::vector<double>& fps) {
    cli::CallReport call = samples::MakeCall({0}, 3);
    call.plan.resolutions = {resolution};
    call.configurations[0].configuration.resolution = resolution;
    for (const double value : fps) {
        samples::AddRun(call.configurations[0], 0, static_cast<int>(call.configurations[0].runs.size()) + 1,
                        bench::SceneStatus::Recorded, value);
    }
    return cli::ReportJson(call);
}

// The calls of tests/data/win32/compare-calls.txt.
TEST(CompareCommandTest, ReadsBothFilesWritesItsOwnAndEndsWithItsStatus) {
    const std::string folder = FreshFolder("korvane-compare-test");
    driver::WriteTextFile(folder + "base.json", ReportOf("640x480", {100, 101, 99}));
    driver::WriteTextFile(folder + "slower.json", ReportOf("640x480", {90, 91, 89}));
    driver::WriteTextFile(folder + "other.json", ReportOf("800x600", {90, 91, 89}));
    driver::WriteTextFile(folder + "broken.json", "{\"format\": ");
    const std::string json = folder + "c.json", html = folder + "c.html";
    for (const std::vector<std::string>& row : sourcetree::ReadTable("win32/compare-calls.txt")) {
        cli::CompareOptions options;
        options.basePath = Field(row.at(0), folder);
        options.newPath = Field(row.at(1), folder);
        options.jsonPath = Field(row.at(2), folder);
        options.htmlPath = Field(row.at(3), folder);
        options.failBelowPercent = sourcetree::NumberOrNone(row.at(4));
        const std::string expected = Field(row.at(6), folder);
        SCOPED_TRACE(row[0] + " " + row[1] + " " + row[2] + " " + row[3]);
        driver::DeleteFileAt(json);
        driver::DeleteFileAt(html);
        std::string out, errors;
        const cli::ConsoleOutput console{[&out](const std::string& text) { out += text; },
                                         [&errors](const std::string& text) {
                                             errors += text;
                                         }};
        EXPECT_EQ(cli::RunCompare(options, console), std::stoi(row.at(5)));
        EXPECT_EQ(errors.substr(0, expected.size()), expected);
        EXPECT_EQ(errors.empty(), expected.empty()) << errors;
        // The files it would write are checked before anything is read, and reports are compared only when
        // read.
        const bool compared = row[5] != "2" || expected.find("in common") != std::string::npos;
        EXPECT_EQ(out.find("korvane-cli compare\nBase: " + options.basePath + "\n"),
                  compared ? 0 : std::string::npos);
        const std::string written = driver::ReadTextFile(json).value_or("");
        const std::string page = driver::ReadTextFile(html).value_or("");
        EXPECT_EQ(written.find("\"base\": \"") != std::string::npos, options.jsonPath == json)
            << "the JSON file";
        EXPECT_EQ(page.find("<tr><th>Base</th><td>") != std::string::npos, options.htmlPath == html)
            << "the page";
    }
}

BOOL WINAPI MoveNotImplemented(LPCSTR, LPCSTR, DWORD) {
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

BOOL WINAPI WriteToAFullDisk(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
    *written = 0;
    ::SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// A file is replaced whole, through the pending file beside it: with
// MoveFileExA, with Windows 98's delete and rename, and not at all on a full
// disk, which leaves the old file as it was.
TEST(FilesTest, AFileIsReplacedWholeOrNotAtAll) {
    const std::string folder = FreshFolder("korvane-files-test");
    const std::string path = folder + "r.json";
    const std::string pending = cli::PendingPathFor(path);
    EXPECT_EQ(pending, path + ".korvane-new");
    cli::FileCalls nineX;
    nineX.moveFileEx = &MoveNotImplemented;
    cli::FileCalls fullDisk;
    fullDisk.writeFile = &WriteToAFullDisk;
    const struct {
        const char* name;
        cli::FileCalls calls;
        bool replaced;
    } cases[] = {{"MoveFileExA", cli::FileCalls(), true},
                 {"delete and rename", nineX, true},
                 {"full disk", fullDisk, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool existed : {false, true}) {
            driver::DeleteFileAt(path);
            if (existed) {
                driver::WriteTextFile(path, "old");
            }
            std::string problem;
            EXPECT_EQ(cli::ReplaceFile(path, std::string(100000, 'n'), problem, c.calls), c.replaced);
            EXPECT_EQ(driver::ReadTextFile(path), c.replaced
                                                      ? std::optional<std::string>(std::string(100000, 'n'))
                                                  : existed ? std::optional<std::string>("old")
                                                            : std::nullopt);
            EXPECT_FALSE(cli::FileExists(pending)) << "the pending file stays behind";
            EXPECT_EQ(problem, c.replaced ? "" : framework::SystemErrorText(ERROR_DISK_FULL));
        }
    }
}

// What can be written, checked without changing any file: a missing folder, a
// folder, a read-only file and one held open against writing are refused.
TEST(FilesTest, WhatCanBeReplacedIsFoundWithoutTouchingAnyFile) {
    const std::string folder = FreshFolder("korvane-files-test");
    driver::WriteTextFile(folder + "ro.json", "kept");
    ::SetFileAttributesA((folder + "ro.json").c_str(), FILE_ATTRIBUTE_READONLY);
    driver::WriteTextFile(folder + "held.json", "kept");
    driver::WriteTextFile(folder + "r.json", "kept");
    const framework::UniqueFile held(::CreateFileA((folder + "held.json").c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    for (const std::vector<std::string>& row : sourcetree::ReadTable("win32/replaceable-paths.txt")) {
        const std::string path = Field(row.at(0), folder);
        const std::string problem = std::isdigit(static_cast<unsigned char>(row.at(1)[0]))
                                        ? framework::SystemErrorText(static_cast<DWORD>(std::stoul(row[1])))
                                        : Field(row[1], folder);
        std::string why;
        EXPECT_EQ(cli::CanReplace(path, why), problem.empty()) << path;
        EXPECT_EQ(why, problem) << path;
        EXPECT_FALSE(cli::FileExists(cli::PendingPathFor(path))) << path;
    }
    EXPECT_FALSE(cli::FileExists(folder + "new.json"));
    for (const char* kept : {"ro.json", "held.json", "r.json"}) {
        EXPECT_EQ(driver::ReadTextFile(folder + kept), std::optional<std::string>("kept")) << kept;
    }
    ::SetFileAttributesA((folder + "ro.json").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// One file by other names: a relative path, other capitals, another spelling of
// the folder; files that do not exist yet by their full paths.
TEST(FilesTest, OneFileByOtherNames) {
    const std::string folder = FreshFolder("korvane-files-test");
    driver::WriteTextFile(folder + "r.json", "{}");
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    ::SetCurrentDirectoryA(folder.c_str());
    for (const std::vector<std::string>& row : sourcetree::ReadTable("win32/same-files.txt")) {
        const std::string a = Field(row.at(0), folder), b = Field(row.at(1), folder);
        EXPECT_EQ(cli::SameFile(a, b), row.at(2) == "same") << a << " and " << b;
    }
    ::SetCurrentDirectoryA(current);
}

} // namespace
