// Entry point of the end-to-end tests. Takes the programs under test from the
// command line (Unix paths from CTest, turned into Wine's Z: paths):
//   korvane_e2e --korvane <korvane.exe> --game <UT2003.exe> [--cpudef <cpudef.dat>]
//               [--fake-d3d8 <d3d8.dll>] [--d3d8-probe <d3d8probe.exe>] [gtest flags]
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "KorvaneFixture.h"
#include "driver/DemoRegistry.h"
#include "driver/Files.h"
#include "driver/Handles.h"
#include "driver/Paths.h"

namespace {

// Under Wine a crashed Windows program can end with status 0: a crash must end
// the tests with a failure code instead.
LONG WINAPI FailOnCrash(EXCEPTION_POINTERS* exception) {
    std::fprintf(stderr, "crash: exception 0x%08lx\n",
                 static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
    std::fflush(stderr);
    ::ExitProcess(3);
}

bool ReadArguments(int argc, char** argv) {
    e2e::TestPrograms& programs = e2e::Programs();
    if ((argc - 1) % 2 != 0) {
        std::fprintf(stderr, "every option needs a value\n");
        return false;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string path = e2e::WindowsPathFromUnix(argv[i + 1]);
        if (std::strcmp(argv[i], "--korvane") == 0) {
            programs.korvane = path;
        } else if (std::strcmp(argv[i], "--game") == 0) {
            programs.game = path;
        } else if (std::strcmp(argv[i], "--cpudef") == 0) {
            programs.cpuDefinitions = path;
        } else if (std::strcmp(argv[i], "--fake-d3d8") == 0) {
            programs.fakeD3d8 = path;
        } else if (std::strcmp(argv[i], "--d3d8-probe") == 0) {
            programs.d3d8Probe = path;
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
            return false;
        }
    }
    if (programs.korvane.empty() || programs.game.empty()) {
        std::fprintf(stderr, "usage: korvane_e2e --korvane <korvane.exe> --game <UT2003.exe> "
                             "[--cpudef <cpudef.dat>] [--fake-d3d8 <d3d8.dll>] "
                             "[--d3d8-probe <d3d8probe.exe>] [gtest flags]\n");
        return false;
    }
    return true;
}

// The tests of every build tree share one Wine prefix, with its registry and its
// C: drive: only one test program may drive Korvane at a time.
constexpr char kLockName[] = "KorvaneEndToEndTests";
constexpr DWORD kLockWaitMs = 20 * 60 * 1000;

// Repairs what a killed earlier run left: the demo key it had changed and its folders.
bool RepairEarlierRun() {
    std::string error;
    if (e2e::FileExists(e2e::SavedDemoKeyPath())) {
        std::fprintf(stderr, "an earlier run was cut short: putting the demo key back\n");
        if (!e2e::RestoreSavedDemoKeyState(e2e::SavedDemoKeyPath(), &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return false;
        }
    }
    return e2e::DeleteTree(e2e::kTestRoot);
}

} // namespace

int main(int argc, char** argv) {
    ::SetUnhandledExceptionFilter(&FailOnCrash);
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::testing::InitGoogleTest(&argc, argv);
    if (!ReadArguments(argc, argv)) {
        return 2;
    }
    e2e::KernelHandle lock(::CreateMutexA(nullptr, FALSE, kLockName));
    DWORD locked = ::WaitForSingleObject(lock.get(), 0);
    if (locked == WAIT_TIMEOUT) {
        std::fprintf(stderr, "waiting for another end-to-end test run in this Wine prefix\n");
        locked = ::WaitForSingleObject(lock.get(), kLockWaitMs);
    }
    if (locked != WAIT_OBJECT_0 && locked != WAIT_ABANDONED) {
        std::fprintf(stderr, "the end-to-end tests are busy elsewhere in this Wine prefix\n");
        return 2;
    }
    if (!RepairEarlierRun()) {
        std::fprintf(stderr, "cannot clear %s\n", e2e::kTestRoot);
        return 2;
    }
    const int result = RUN_ALL_TESTS();
    // The common folder goes too once every test has removed its own.
    ::RemoveDirectoryA(e2e::kTestRoot);
    ::ReleaseMutex(lock.get());
    return result;
}
