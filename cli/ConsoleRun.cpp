// The console run.
#include "cli/ConsoleRun.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/InstallLookup.h"
#include "app/InstallPaths.h"
#include "bench/BenchmarkRun.h"
#include "bench/BenchmarkLog.h"
#include "bench/GameProcess.h"
#include "cli/GameJob.h"
#include "cli/ReportCsv.h"
#include "cli/ReportHtml.h"
#include "cli/ReportJson.h"
#include "cli/ReportText.h"
#include "cli/RunReport.h"
#include "framework/Format.h"
#include "framework/Handles.h"
#include "framework/SystemError.h"
#include "framework/TextFile.h"
#include "sysinfo/CpuDefinitions.h"
#include "sysinfo/CpuInfo.h"
#include "sysinfo/MachineFacts.h"
#include "sysinfo/SystemInfo.h"

namespace cli {

namespace {

// How long a closing console window waits for the results to be written.
constexpr DWORD kCloseWaitMs = 4000;

// The two events between the run and the console control handler, which the
// system runs on a thread of its own at any moment. They belong to the process,
// not to a run's locals, so that the handler never sees a closed handle.
struct StopSignals {
    // Set by the handler: the run stops.
    framework::UniqueHandle stop{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    // Set by the run once its files are written, so that a closing console window waits for them.
    framework::UniqueHandle done{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};
StopSignals theSignals;

BOOL WINAPI OnConsoleControl(DWORD type) {
    switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        ::SetEvent(theSignals.stop.get());
        return TRUE;
    case CTRL_CLOSE_EVENT:
        // The system ends the process when this returns: first let the run write out.
        ::SetEvent(theSignals.stop.get());
        ::WaitForSingleObject(theSignals.done.get(), kCloseWaitMs);
        return TRUE;
    default:
        return FALSE;
    }
}

// OnConsoleControl, registered for as long as a run lasts.
class ConsoleControlScope {
public:
    ConsoleControlScope() noexcept {
        ::ResetEvent(theSignals.stop.get());
        ::ResetEvent(theSignals.done.get());
        // Started in a new process group, a console program ignores Ctrl-C until it asks for it.
        ::SetConsoleCtrlHandler(nullptr, FALSE);
        ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    }
    ~ConsoleControlScope() { ::SetConsoleCtrlHandler(&OnConsoleControl, FALSE); }
    ConsoleControlScope(const ConsoleControlScope&) = delete;
    ConsoleControlScope& operator=(const ConsoleControlScope&) = delete;

    // Marks the run's files as written.
    static void Done() noexcept { ::SetEvent(theSignals.done.get()); }
};

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void PrintError(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

class Stopwatch {
public:
    Stopwatch() noexcept {
        ::QueryPerformanceFrequency(&frequency_);
        ::QueryPerformanceCounter(&start_);
    }
    double Seconds() const noexcept {
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        return frequency_.QuadPart > 0 ? static_cast<double>(now.QuadPart - start_.QuadPart) /
                                             static_cast<double>(frequency_.QuadPart)
                                       : 0.0;
    }

private:
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

// An output file the user named: created (emptied) before the run, so that a
// name that cannot be written is found at once, and filled at the end.
class OutputFile {
public:
    // False, with the reason, when the file cannot be created.
    bool Create(const std::string& path, std::string& problem) {
        path_ = path;
        file_.reset(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_) {
            problem = framework::SystemErrorText(::GetLastError());
            return false;
        }
        return true;
    }
    bool IsOpen() const noexcept { return static_cast<bool>(file_); }
    const std::string& Path() const noexcept { return path_; }

    bool Write(const std::string& text) {
        std::size_t done = 0;
        while (done < text.size()) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(text.size() - done);
            if (!::WriteFile(file_.get(), text.data() + done, chunk, &written, nullptr) || written == 0) {
                return false;
            }
            done += written;
        }
        file_.reset();
        return true;
    }

private:
    std::string path_;
    framework::UniqueFile file_;
};

MachineTexts GatherMachineFacts() {
    sysinfo::CpuInfo cpuInfo(
        sysinfo::MachineCpuid(),
        []() -> std::unique_ptr<framework::LineSource> {
            return std::make_unique<framework::TextFileReader>(sysinfo::kDefinitionsFileName);
        },
        [](const char* text) { PrintError(std::string(sysinfo::kVendorErrorCaption) + ": " + text + "\n"); },
        sysinfo::MachineClock());
    return sysinfo::GatherMachineTexts(cpuInfo);
}

RunStatus StatusOf(const bench::SceneOutcome& outcome, const LastLineReading& reading) {
    switch (outcome.status) {
    case bench::SceneStatus::Recorded:
        return reading.hasNumber ? RunStatus::Ok : RunStatus::NoNumber;
    case bench::SceneStatus::GameNotStarted:
        return RunStatus::GameNotStarted;
    case bench::SceneStatus::NoNewResult:
        return RunStatus::NoNewResult;
    case bench::SceneStatus::LogUnreadable:
        return RunStatus::LogUnreadable;
    case bench::SceneStatus::TimedOut:
        return RunStatus::TimedOut;
    case bench::SceneStatus::Stopped:
        return RunStatus::Stopped;
    }
    return RunStatus::GameNotStarted;
}

class ConsoleRun {
public:
    ConsoleRun(const CliOptions& options, const std::string& korvaneVersion) {
        call_.options = options;
        call_.korvaneVersion = korvaneVersion;
    }

    int Run() {
        const std::optional<std::string> folder = app::ReadDemoFolder();
        if (!folder) {
            PrintError(std::string(app::kFatalText) + "\n");
            return kExitNotInstalled;
        }
        app::GameInstall() = app::MakeInstallPaths(*folder);
        const app::InstallPaths& install = app::GameInstall();
        call_.gameFolder = install.gameFolder;
        call_.gameExecutable = install.gameExecutable;
        call_.workingDirectory = install.systemFolder;
        call_.logPath = bench::LogPathFor(install.gameFolder);

        if (!OpenOutput(json_, call_.options.jsonPath, "--json") ||
            !OpenOutput(csv_, call_.options.csvPath, "--csv") ||
            !OpenOutput(html_, call_.options.htmlPath, "--html")) {
            return kExitBadArgument;
        }

        const ConsoleControlScope controlHandler;

        call_.machine = GatherMachineFacts();
        if (!call_.options.quiet) {
            Print(HeaderText(call_));
        }
        // Every configuration in turn, all its runs before the next.
        const std::vector<CliOptions> configurations = Configurations(call_.options);
        sweep_ = configurations.size() > 1;
        total_ = Stopwatch();
        for (const CliOptions& configuration : configurations) {
            reports_.push_back(call_);
            report_ = &reports_.back();
            report_->options = configuration;
            Compose();
            if (!report_->composeMessage.empty()) {
                PrintError((sweep_ ? ConfigurationText(configuration) + ": " : "") + report_->composeMessage +
                           "\n");
            }
            RunRounds();
            if (report_->stopped) {
                break;
            }
        }

        Print((call_.options.quiet ? "" : "\n") + ResultsText(reports_));
        const bool written = WriteOutputs();
        ConsoleControlScope::Done();
        return written ? ExitStatus(reports_) : kExitSomeFailed;
    }

private:
    bool OpenOutput(OutputFile& file, const std::string& path, const char* option) {
        if (path.empty()) {
            return true;
        }
        std::string problem;
        if (!file.Create(path, problem)) {
            PrintError(framework::Format("%s: %s cannot write \"%s\": %s\n", kProgramName, option,
                                         path.c_str(), problem.c_str()));
            return false;
        }
        return true;
    }

    // The window's options and composition, once for the whole run.
    void Compose() {
        lines_.clear();
        bench::BeginPress();
        bench::PressOptions press;
        press.renderer = report_->options.renderer;
        press.detail = report_->options.detail;
        press.resolutionText = report_->options.resolutionText;
        press.chosen = report_->options.scenes;
        const bench::ComposedPress composed = bench::ComposePress(press, app::GameInstall().gameExecutable);
        if (composed.status != bench::ComposeStatus::Ready) {
            report_->composeMessage = composed.message;
            return;
        }
        lines_ = composed.scenes;
        for (const bench::SceneLine& line : lines_) {
            report_->commandLines.push_back({line.index, line.commandLine});
        }
    }

    bool StopRequested() const { return ::WaitForSingleObject(theSignals.stop.get(), 0) == WAIT_OBJECT_0; }

    void RunRounds() {
        for (int round = 1; !report_->stopped; ++round) {
            const std::vector<int> scenes = ScenesOfRound(*report_, round);
            if (scenes.empty()) {
                return;
            }
            if (round > report_->options.runs && !report_->options.quiet) {
                for (const int scene : scenes) {
                    Print(ExtraRunText(*report_, scene));
                }
            }
            // Each round is one press of the window: its own sums, its own slots.
            report_->sets.emplace_back();
            for (const int scene : scenes) {
                if (StopRequested()) {
                    report_->stopped = true;
                    return;
                }
                RunOne(LineOf(scene), round);
                if (report_->stopped) {
                    return;
                }
                // The window's pause after every scene; Ctrl-C cuts it short.
                if (::WaitForSingleObject(theSignals.stop.get(), bench::kScenePauseMs) == WAIT_OBJECT_0) {
                    report_->stopped = true;
                    return;
                }
            }
        }
    }

    const bench::SceneLine& LineOf(int scene) const {
        for (const bench::SceneLine& line : lines_) {
            if (line.index == scene) {
                return line;
            }
        }
        return lines_.front();
    }

    void RunOne(const bench::SceneLine& line, int round) {
        const bench::SceneRow& scene = bench::SceneTable()[static_cast<std::size_t>(line.index)];
        GameJobLauncher launcher(static_cast<DWORD>(TimeoutSeconds(report_->options, scene)) * 1000,
                                 theSignals.stop.get());
        SceneAttempt record;
        record.sceneIndex = line.index;
        record.round = round;
        record.attempt = 1;
        for (const SceneAttempt& earlier : report_->runs) {
            record.attempt += earlier.sceneIndex == line.index ? 1 : 0;
        }

        const Stopwatch sceneTime;
        const bench::SceneOutcome outcome =
            bench::RunScene(line, app::InstalledGamePlaces(), report_->sets.back(), std::ref(launcher));
        record.seconds = sceneTime.Seconds();
        if (outcome.status == bench::SceneStatus::Recorded) {
            record.lastLine = outcome.lastLine;
            record.reading = ReadLastLineValues(outcome.lastLine);
        }
        record.status = StatusOf(outcome, record.reading);
        record.message = outcome.message;
        if (record.status == RunStatus::NoNumber) {
            record.message = "The log's last line holds no number where Korvane reads the frame rate:\n" +
                             outcome.lastLine;
        }
        report_->runs.push_back(record);

        if (!report_->options.quiet) {
            Print(ProgressText(*report_, record, total_.Seconds(), sweep_));
        }
        if (!launcher.JobsWork() && !jobWarningShown_) {
            jobWarningShown_ = true;
            PrintError(
                framework::Format("%s: the game could not be put into a job of its own (%s); a time-out "
                                  "or Ctrl-C ends only the game's own process, not the processes it "
                                  "started.\n",
                                  kProgramName, launcher.JobProblem().c_str()));
        }
        if (record.status == RunStatus::Stopped) {
            report_->stopped = true;
        }
    }

    bool WriteOutputs() {
        bool written = true;
        if (json_.IsOpen() && !json_.Write(ReportJson(reports_, AnsiToUtf8))) {
            PrintError(framework::Format("%s: --json could not write \"%s\": %s\n", kProgramName,
                                         json_.Path().c_str(),
                                         framework::SystemErrorText(::GetLastError()).c_str()));
            written = false;
        }
        if (csv_.IsOpen() && !csv_.Write(ReportCsv(reports_))) {
            PrintError(framework::Format("%s: --csv could not write \"%s\": %s\n", kProgramName,
                                         csv_.Path().c_str(),
                                         framework::SystemErrorText(::GetLastError()).c_str()));
            written = false;
        }
        if (html_.IsOpen() && !html_.Write(ReportHtml(reports_, AnsiToUtf8))) {
            PrintError(framework::Format("%s: --html could not write \"%s\": %s\n", kProgramName,
                                         html_.Path().c_str(),
                                         framework::SystemErrorText(::GetLastError()).c_str()));
            written = false;
        }
        return written;
    }

    RunReport call_;                 // the machine, the game and the options of the whole call
    std::vector<RunReport> reports_; // one per configuration begun
    RunReport* report_ = nullptr;    // the configuration running
    bool sweep_ = false;             // more than one configuration
    Stopwatch total_;                // from the first configuration's start
    std::vector<bench::SceneLine> lines_;
    OutputFile json_;
    OutputFile csv_;
    OutputFile html_;
    bool jobWarningShown_ = false;
};

} // namespace

std::string AnsiToUtf8(const std::string& text) {
    if (text.empty()) {
        return text;
    }
    const int wideLength =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wideLength <= 0) {
        return text;
    }
    std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return text;
    }
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], length, nullptr, nullptr);
    return utf8;
}

int RunBenchmarks(const CliOptions& options, const std::string& korvaneVersion) {
    ConsoleRun run(options, korvaneVersion);
    return run.Run();
}

} // namespace cli
