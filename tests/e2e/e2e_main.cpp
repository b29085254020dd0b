// Entry point of the end-to-end tests. Takes the programs under test from the
// command line (Unix paths from CTest, turned into Wine's Z: paths), then GoogleTest's flags:
//   korvane_e2e --korvane EXE --cli EXE --game UT2003.exe --cpudef FILE --fake-d3d8 DLL
//               --d3d8-probe EXE --identifying-d3d8 DLL
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <map>

#include "KorvaneFixture.h"
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
    e2e::TestPrograms& p = e2e::Programs();
    const std::map<std::string, std::string*> options = {{"--korvane", &p.korvane},
                                                         {"--cli", &p.cli},
                                                         {"--game", &p.game},
                                                         {"--cpudef", &p.cpuDefinitions},
                                                         {"--fake-d3d8", &p.fakeD3d8},
                                                         {"--d3d8-probe", &p.d3d8Probe},
                                                         {"--identifying-d3d8", &p.identifyingD3d8}};
    for (int i = 1; i + 1 < argc; i += 2) {
        const auto option = options.find(argv[i]);
        if (option == options.end()) {
            std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
            return false;
        }
        *option->second = driver::WindowsPathFromUnix(argv[i + 1]);
    }
    for (const auto& [name, value] : options) {
        if (value->empty()) {
            std::fprintf(stderr, "korvane_e2e needs %s\n", name.c_str());
            return false;
        }
    }
    return argc % 2 == 1;
}

} // namespace

int main(int argc, char** argv) {
    ::SetUnhandledExceptionFilter(&FailOnCrash);
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::testing::InitGoogleTest(&argc, argv);
    if (!ReadArguments(argc, argv)) {
        return 2;
    }
    // A run that was cut short (a time-out) may have left the demo key changed.
    std::string error;
    if (!driver::RestoreSavedDemoKeyState(e2e::SavedDemoKeyPath(), &error) ||
        !e2e::RestoreSystemD3d8(&error) || !driver::DeleteTree(driver::kTestRoot)) {
        std::fprintf(stderr, "cannot repair what an earlier run left: %s\n", error.c_str());
        return 2;
    }
    const int result = RUN_ALL_TESTS();
    ::RemoveDirectoryA(driver::kTestRoot);
    return result;
}
