// korvane-cli's launcher under a real (or Wine's) Windows, with the system's job
// objects and with none, as on Windows 98 and ME: a game that runs past the
// time-out is ended, and only with a job does the process it started go too.
// The "game" is this program itself, started with --game PIDFILE: it starts one
// more copy of itself (--sleep), writes that copy's process id to PIDFILE and
// sleeps.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/GameJob.h"
#include "framework/Handles.h"

namespace {

std::string OwnPath() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

std::string TempFile(const char* name) {
    char folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder, length) + name;
}

bool Alive(DWORD processId) {
    const framework::UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    return process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

void End(DWORD processId) {
    const framework::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (process) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
    }
}

// The process id the game wrote, once it is there.
DWORD ReadChildId(const std::string& pidFile) {
    for (int tries = 0; tries < 100; ++tries) {
        if (FILE* file = std::fopen(pidFile.c_str(), "r")) {
            unsigned long id = 0;
            const int read = std::fscanf(file, "%lu", &id);
            std::fclose(file);
            if (read == 1 && id != 0) {
                return static_cast<DWORD>(id);
            }
        }
        ::Sleep(50);
    }
    return 0;
}

// What the "game" does when this program is started as one.
int RunAsGame(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--sleep") == 0) {
        ::Sleep(INFINITE);
    }
    if (argc == 3 && std::strcmp(argv[1], "--game") == 0) {
        std::string commandLine = "\"" + OwnPath() + "\" --sleep";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &started)) {
            return 2;
        }
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
        if (FILE* file = std::fopen(argv[2], "w")) {
            std::fprintf(file, "%lu\n", static_cast<unsigned long>(started.dwProcessId));
            std::fclose(file);
        }
        ::Sleep(INFINITE);
    }
    return -1;
}

struct JobCase {
    const char* name;
    bool withJobObjects;
    bool childEnds; // the process the game started is ended with it
    const char* problem;
};

class GameJobLauncherTest : public ::testing::TestWithParam<JobCase> {};

TEST_P(GameJobLauncherTest, TimeOutEndsTheGameAndWithAJobWhatItStarted) {
    const JobCase& c = GetParam();
    const std::string pidFile = TempFile(c.withJobObjects ? "korvane-job-with.txt" : "korvane-job-none.txt");
    ::DeleteFileA(pidFile.c_str());
    const cli::JobObjectApi none;
    cli::GameJobLauncher launcher(1000, nullptr, c.withJobObjects ? cli::SystemJobObjectApi() : none);

    std::string reason;
    const std::string game = OwnPath();
    const DWORD before = ::GetTickCount();
    const bench::GameEnd end = launcher(game, "\"" + game + "\" --game " + pidFile, ".", reason);
    const DWORD tookMs = ::GetTickCount() - before;
    const DWORD childId = ReadChildId(pidFile);
    const bool childAlive = childId != 0 && Alive(childId);
    if (childAlive) {
        End(childId);
    }
    ::DeleteFileA(pidFile.c_str());

    EXPECT_EQ(end, bench::GameEnd::TimedOut);
    EXPECT_EQ(reason, "it ran longer than the time-out of 1 s");
    EXPECT_GE(tookMs, 900u);
    EXPECT_LT(tookMs, 10000u);
    ASSERT_NE(childId, 0u) << "the game never started its own child";
    EXPECT_EQ(childAlive, !c.childEnds);
    EXPECT_EQ(launcher.JobsWork(), c.withJobObjects);
    EXPECT_EQ(launcher.JobProblem(), c.problem);
}

INSTANTIATE_TEST_SUITE_P(Cases, GameJobLauncherTest,
                         ::testing::Values(JobCase{"JobObjects", true, true, ""},
                                           JobCase{"NoJobObjects", false, false,
                                                   "this Windows has no job objects"}),
                         [](const ::testing::TestParamInfo<JobCase>& test) { return test.param.name; });

TEST(SystemJobObjectApi, IsCompleteOnThisSystem) {
    // Wine, like every Windows from 2000 on, has all four.
    EXPECT_TRUE(cli::SystemJobObjectApi().Present());
}

} // namespace

int main(int argc, char** argv) {
    const int asGame = RunAsGame(argc, argv);
    if (asGame >= 0) {
        return asGame;
    }
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
