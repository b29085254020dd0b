// korvane-cli's Win32 room: the launcher with the system's job objects and with
// none (as on Windows 98 and ME), and compare as a command with real files:
// every exit status, its messages and the files it writes.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <tuple>
#include <string>
#include <vector>

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

// A folder of its own under the temporary folder, made empty.
std::string FreshFolder(const char* name) {
    char temp[MAX_PATH] = {};
    const std::string folder = std::string(temp, ::GetTempPathA(MAX_PATH, temp)) + name + "\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* leftover : {"r.json", "r.json.korvane-new", "ro.json", "held.json"}) {
        ::SetFileAttributesA((folder + leftover).c_str(), FILE_ATTRIBUTE_NORMAL);
        driver::DeleteFileAt(folder + leftover);
    }
    return folder;
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

TEST(CompareCommandTest, ReadsBothFilesWritesItsOwnAndEndsWithItsStatus) {
    const std::string folder = FreshFolder("korvane-compare-test");
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
        const cli::ConsoleOutput console{[&out](const std::string& text) { out += text; },
                                         [&errors](const std::string& text) {
                                             errors += text;
                                         }};
        cli::CompareOptions options;
        options.basePath = c.base;
        options.newPath = c.newer;
        options.jsonPath = c.json;
        options.htmlPath = c.html;
        options.failBelowPercent = c.failBelow;
        EXPECT_EQ(cli::RunCompare(options, console), c.status);
        EXPECT_EQ(errors.substr(0, c.errors.size()), c.errors);
        EXPECT_EQ(errors.empty(), c.errors.empty()) << errors;
        // The files it would write are checked before anything is read, and reports are compared only when
        // read.
        const bool compared = c.status != 2 || c.errors.find("in common") != std::string::npos;
        EXPECT_EQ(out.find("korvane-cli compare\nBase: " + c.base + "\n"), compared ? 0 : std::string::npos);
        const std::string written = driver::ReadTextFile(json).value_or("");
        const std::string page = driver::ReadTextFile(html).value_or("");
        EXPECT_EQ(written.find("\"base\": \"") != std::string::npos, c.json == json) << "the JSON file";
        EXPECT_EQ(page.find("<tr><th>Base</th><td>") != std::string::npos, c.html == html) << "the page";
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
    const std::pair<std::string, std::string> cases[] = {
        {folder + "r.json", ""},
        {folder + "new.json", ""},
        {folder + "no\\r.json", framework::SystemErrorText(ERROR_PATH_NOT_FOUND)},
        {folder.substr(0, folder.size() - 1), "it is a folder"},
        {folder + "ro.json", "it is read-only"},
        {folder + "held.json", framework::SystemErrorText(ERROR_SHARING_VIOLATION)},
    };
    for (const auto& [path, problem] : cases) {
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
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"r.json", folder + "r.json", true},
        {".\\R.JSON", folder + "r.json", true},
        {folder + "..\\korvane-files-test\\r.json", "r.json", true},
        {"a.json", "A.JSON", true},
        {"a.json", folder + "a.json", true},
        {"r.json", "a.json", false},
        {"a.json", "a.json.korvane-new", false},
    };
    for (const auto& [a, b, same] : cases) {
        EXPECT_EQ(cli::SameFile(a, b), same) << a << " and " << b;
    }
    ::SetCurrentDirectoryA(current);
}

} // namespace
