// korvane-perf-driver: the measuring side of scripts/measure-performance.sh. It
// starts a program as a double click would (its own folder as working directory)
// and times it from outside. Every output line is flushed at once: the script
// reads them while the driver runs.
//
//   startup EXE CAPTION [CONTROL_ID]
//       "startup_ms <ms>": from just before CreateProcess to the first moment a
//       visible top-level dialog CAPTION of that process exists; with CONTROL_ID,
//       "control <text>" with that control's text. Then closes the dialog (IDCANCEL)
//       and waits for the program to end.
//   benchmark EXE SCENES CPU_FROM_S CPU_TO_S
//       Starts Korvane, sets the six scene check boxes from SCENES (six 0 or 1 in
//       scene order: Flyby 1, 2, 3, Botmatch 1, 2, 3), presses "BENCHMARK NOW!" and
//       follows the run; times are milliseconds from the press ("click_ms 0"):
//         "game <n> start_ms <ms> end_ms <ms> seen_end_ms <ms>"  the nth game's process
//             creation and exit (the system's times) and when the driver saw it end
//         "cpu <n> <from|to> <ms> <100 ns>"  Korvane's CPU time (all its threads'
//             kernel and user time) CPU_FROM_S and CPU_TO_S seconds after the nth game started
//         "result_ms <ms>"  when the result window became visible
//       then closes Korvane.
//   spawn EXE N
//       Starts EXE N times as Korvane starts the game (its folder as working
//       directory, high priority class, a new process group), ends each at once and
//       prints "spawn_ms <ms> created_ms <ms>" for each: how long CreateProcess
//       took, and when, from the call, the system stamped the process's creation.
//   hold
//       Opens the desktop and waits until it is ended. While one program uses the
//       desktop, Wine keeps its desktop process; without it every measured start
//       would also pay for starting that process again.
// Exit status: 0 when the measurement worked, 1 when it did not, 2 for bad arguments.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/KorvaneWindows.h"
#include "driver/Paths.h"
#include "driver/Process.h"
#include "driver/Timing.h"
#include "driver/Ui.h"
#include "framework/Handles.h"
#include "res/resource.h"

namespace {

using KernelHandle = framework::UniqueHandle;
// A Toolhelp snapshot fails with INVALID_HANDLE_VALUE, as a file does.
using SnapshotHandle = framework::UniqueFile;

constexpr char kGameExecutable[] = "UT2003.exe";
constexpr DWORD kWindowTimeoutMs = 60 * 1000;
constexpr DWORD kExitTimeoutMs = 10 * 1000;
constexpr DWORD kRunTimeoutMs = 30 * 60 * 1000;
constexpr DWORD kSendTimeoutMs = 5000;
constexpr int kSceneIds[6] = {IDC_MAIN_FLYBY1,    IDC_MAIN_FLYBY2,    IDC_MAIN_FLYBY3,
                              IDC_MAIN_BOTMATCH1, IDC_MAIN_BOTMATCH2, IDC_MAIN_BOTMATCH3};

void Print(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
void Print(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::fflush(stdout);
}

// Now, in 100 ns units of the system time (the unit and base of GetProcessTimes).
long long Now100ns() {
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    return static_cast<long long>((static_cast<unsigned long long>(now.dwHighDateTime) << 32) |
                                  now.dwLowDateTime);
}

long long FileTime100ns(const FILETIME& time) {
    return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                  time.dwLowDateTime);
}

double Ms(long long from100ns, long long to100ns) {
    return static_cast<double>(to100ns - from100ns) / 1e4;
}

std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

// Starts `executable` with its own folder as working directory, as a double click
// does (outside any job of the driver's).
driver::Process Start(const std::string& executable) {
    driver::StartOptions options;
    options.inJob = false;
    return driver::Process::Start(executable, "", FolderOf(executable), nullptr, options);
}

// Closes the program's dialog as its Cancel button does and waits for the program
// to end; ends it by force if it does not.
void Close(driver::Process& program, HWND dialog) {
    if (dialog != nullptr) {
        driver::PostCommand(dialog, IDCANCEL);
    }
    if (!program.WaitForExit(kExitTimeoutMs)) {
        program.Kill();
        Print("killed\n");
    }
}

int Startup(const std::string& executable, const char* caption, int controlId) {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER before{};
    LARGE_INTEGER after{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&before);
    driver::Process program = Start(executable);
    if (!program) {
        Print("error cannot start %s (error %lu)\n", executable.c_str(), ::GetLastError());
        return 1;
    }
    const HWND window = driver::WaitForVisibleWindow(program, caption, kWindowTimeoutMs, 1);
    ::QueryPerformanceCounter(&after);
    if (window == nullptr) {
        Print("error no visible window \"%s\"\n", caption);
        Close(program, nullptr);
        return 1;
    }
    Print("startup_ms %.3f\n", static_cast<double>(after.QuadPart - before.QuadPart) * 1000.0 /
                                   static_cast<double>(frequency.QuadPart));
    if (controlId != 0) {
        Print("control %s\n", driver::ControlText(window, controlId).value_or("?").c_str());
    }
    Close(program, window);
    return 0;
}

// Korvane's CPU time so far: the kernel and user time of all its threads, in 100 ns.
long long ProcessCpu100ns(DWORD processId) {
    const SnapshotHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) {
        return -1;
    }
    long long total = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
         more = ::Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != processId) {
            continue;
        }
        const KernelHandle thread(::OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID));
        FILETIME created{};
        FILETIME ended{};
        FILETIME kernel{};
        FILETIME user{};
        if (thread && ::GetThreadTimes(thread.get(), &created, &ended, &kernel, &user)) {
            total += FileTime100ns(kernel) + FileTime100ns(user);
        }
    }
    return total;
}

// The games Korvane has started that the driver has not seen yet.
std::vector<DWORD> NewGames(DWORD korvaneId, const std::vector<DWORD>& seen) {
    std::vector<DWORD> games;
    for (const driver::ProcessEntry& entry : driver::RunningProcesses()) {
        if (entry.parentId == korvaneId &&
            driver::EqualsIgnoringCase(entry.executableName, kGameExecutable) &&
            std::find(seen.begin(), seen.end(), entry.id) == seen.end()) {
            games.push_back(entry.id);
        }
    }
    return games;
}

struct Game {
    int number = 0;
    KernelHandle process;
    long long seen100ns = 0;
    bool sampledFrom = false;
    bool sampledTo = false;
};

int Benchmark(const std::string& executable, const std::string& scenes, double cpuFromS, double cpuToS) {
    driver::Process korvane = Start(executable);
    if (!korvane) {
        Print("error cannot start %s (error %lu)\n", executable.c_str(), ::GetLastError());
        return 1;
    }
    const HWND main = driver::WaitForVisibleWindow(korvane, driver::kMainCaption, kWindowTimeoutMs, 1);
    const HWND result =
        main != nullptr ? driver::KorvaneWindow(korvane.Id(), driver::kResultCaption) : nullptr;
    if (main == nullptr || result == nullptr) {
        Print("error Korvane's main or result window did not appear\n");
        Close(korvane, main);
        return 1;
    }
    for (std::size_t scene = 0; scene < 6; ++scene) {
        const WPARAM state = scenes[scene] == '1' ? BST_CHECKED : BST_UNCHECKED;
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(::GetDlgItem(main, kSceneIds[scene]), BM_SETCHECK, state, 0, SMTO_ABORTIFHUNG,
                              kSendTimeoutMs, &ignored);
    }

    const long long click = Now100ns();
    ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_MAIN_BENCHMARK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(main, IDC_MAIN_BENCHMARK)));
    Print("click_ms 0\n");

    std::vector<DWORD> seen;
    std::vector<Game> running;
    int started = 0;
    const DWORD runStart = ::GetTickCount();
    for (;;) {
        for (const DWORD id : NewGames(korvane.Id(), seen)) {
            seen.push_back(id);
            Game game;
            game.number = ++started;
            game.process.reset(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
            game.seen100ns = Now100ns();
            if (game.process) {
                running.push_back(std::move(game));
            } else {
                Print("error cannot open game %d (error %lu)\n", game.number, ::GetLastError());
            }
        }
        for (auto game = running.begin(); game != running.end();) {
            FILETIME created{};
            FILETIME ended{};
            FILETIME kernel{};
            FILETIME user{};
            ::GetProcessTimes(game->process.get(), &created, &ended, &kernel, &user);
            const long long start = FileTime100ns(created);
            const long long now = Now100ns();
            if (!game->sampledFrom && Ms(start, now) >= cpuFromS * 1000.0) {
                game->sampledFrom = true;
                Print("cpu %d from %.3f %lld\n", game->number, Ms(click, now), ProcessCpu100ns(korvane.Id()));
            }
            if (!game->sampledTo && Ms(start, now) >= cpuToS * 1000.0) {
                game->sampledTo = true;
                Print("cpu %d to %.3f %lld\n", game->number, Ms(click, now), ProcessCpu100ns(korvane.Id()));
            }
            if (::WaitForSingleObject(game->process.get(), 0) == WAIT_OBJECT_0) {
                const long long seenEnd = Now100ns();
                ::GetProcessTimes(game->process.get(), &created, &ended, &kernel, &user);
                Print("game %d start_ms %.3f end_ms %.3f seen_end_ms %.3f\n", game->number,
                      Ms(click, FileTime100ns(created)), Ms(click, FileTime100ns(ended)), Ms(click, seenEnd));
                game = running.erase(game);
            } else {
                ++game;
            }
        }
        if (running.empty() && ::IsWindowVisible(result)) {
            Print("result_ms %.3f\n", Ms(click, Now100ns()));
            break;
        }
        if (!korvane.IsRunning()) {
            Print("error Korvane ended during the run\n");
            return 1;
        }
        if (::GetTickCount() - runStart > kRunTimeoutMs) {
            Print("error the run did not end in time\n");
            Close(korvane, main);
            return 1;
        }
        // The result window is looked for every millisecond; the process list, a
        // costlier call, every 20 ms (a game runs for seconds).
        for (int tick = 0; tick < 20 && !(running.empty() && ::IsWindowVisible(result)); ++tick) {
            ::Sleep(1);
        }
    }
    Close(korvane, main);
    return 0;
}

int Spawn(const std::string& executable, int count) {
    const std::string folder = FolderOf(executable);
    for (int run = 0; run < count; ++run) {
        std::string commandLine = "\"" + executable + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION information{};
        const long long before = Now100ns();
        if (!::CreateProcessA(executable.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                              HIGH_PRIORITY_CLASS | CREATE_NEW_PROCESS_GROUP, nullptr, folder.c_str(),
                              &startup, &information)) {
            Print("error cannot start %s (error %lu)\n", executable.c_str(), ::GetLastError());
            return 1;
        }
        const long long after = Now100ns();
        const KernelHandle process(information.hProcess);
        const KernelHandle thread(information.hThread);
        ::TerminateProcess(process.get(), 0);
        ::WaitForSingleObject(process.get(), kExitTimeoutMs);
        FILETIME created{};
        FILETIME ended{};
        FILETIME kernel{};
        FILETIME user{};
        ::GetProcessTimes(process.get(), &created, &ended, &kernel, &user);
        Print("spawn_ms %.3f created_ms %.3f\n", Ms(before, after), Ms(before, FileTime100ns(created)));
    }
    return 0;
}

int Usage() {
    std::fputs("usage: korvane-perf-driver startup EXE CAPTION [CONTROL_ID]\n"
               "       korvane-perf-driver benchmark EXE SCENES CPU_FROM_S CPU_TO_S\n"
               "       korvane-perf-driver spawn EXE N\n"
               "       korvane-perf-driver hold\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() >= 3 && arguments.size() <= 4 && arguments[0] == "startup") {
        const int controlId = arguments.size() == 4 ? std::atoi(arguments[3].c_str()) : 0;
        return Startup(arguments[1], arguments[2].c_str(), controlId);
    }
    if (arguments.size() == 5 && arguments[0] == "benchmark" && arguments[2].size() == 6 &&
        arguments[2].find_first_not_of("01") == std::string::npos) {
        return Benchmark(arguments[1], arguments[2], std::atof(arguments[3].c_str()),
                         std::atof(arguments[4].c_str()));
    }
    if (arguments.size() == 1 && arguments[0] == "hold") {
        ::GetDesktopWindow();
        Print("holding\n");
        ::Sleep(INFINITE);
        return 0;
    }
    if (arguments.size() == 3 && arguments[0] == "spawn" && std::atoi(arguments[2].c_str()) > 0) {
        return Spawn(arguments[1], std::atoi(arguments[2].c_str()));
    }
    return Usage();
}
