// The console run: every configuration in turn, all its rounds before the next.
#include "cli/run/ConsoleRun.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/InstallLookup.h"
#include "app/InstallPaths.h"
#include "bench/BenchmarkLog.h"
#include "bench/BenchmarkRun.h"
#include "bench/GameProcess.h"
#include "cli/output/Csv.h"
#include "cli/output/Html.h"
#include "cli/output/Json.h"
#include "cli/output/Text.h"
#include "cli/report/CallReport.h"
#include "cli/report/ExitStatus.h"
#include "cli/run/Console.h"
#include "cli/run/Encoding.h"
#include "cli/run/Files.h"
#include "cli/run/GameJob.h"
#include "cli/run/StopSignals.h"
#include "cli/run/Stopwatch.h"
#include "framework/Format.h"
#include "framework/TextFile.h"
#include "sysinfo/CpuDefinitions.h"
#include "sysinfo/CpuInfo.h"
#include "sysinfo/MachineFacts.h"
#include "sysinfo/SystemInfo.h"

namespace cli {

namespace {

sysinfo::MachineTexts GatherMachineFacts() {
    sysinfo::CpuInfo cpuInfo(
        sysinfo::MachineCpuid(),
        []() -> std::unique_ptr<framework::LineSource> {
            return std::make_unique<framework::TextFileReader>(sysinfo::kDefinitionsFileName);
        },
        [](const char* text) { PrintError(std::string(sysinfo::kVendorErrorCaption) + ": " + text + "\n"); },
        sysinfo::MachineClock());
    return sysinfo::GatherMachineTexts(cpuInfo);
}

// An output file the call writes, with the option that named it and its text.
struct Output {
    const char* option;
    const std::string* path;
    std::function<std::string(const CallReport&)> text;
    OutputFile file;
};

class ConsoleRun {
public:
    ConsoleRun(const RunOptions& options, const std::string& korvaneVersion) : options_(options) {
        call_.korvaneVersion = korvaneVersion;
        call_.plan = options.plan;
        outputs_.push_back({"--json",
                            &options_.jsonPath,
                            [](const CallReport& call) { return ReportJson(call, AnsiToUtf8); },
                            {}});
        outputs_.push_back(
            {"--csv", &options_.csvPath, [](const CallReport& call) { return ReportCsv(call); }, {}});
        outputs_.push_back({"--html",
                            &options_.htmlPath,
                            [](const CallReport& call) { return ReportHtml(call, AnsiToUtf8); },
                            {}});
    }

    int Run() {
        const std::optional<std::string> folder = app::ReadDemoFolder();
        if (!folder) {
            PrintError(std::string(app::kFatalText) + "\n");
            return kExitNotInstalled;
        }
        app::GameInstall() = app::MakeInstallPaths(*folder);
        const app::InstallPaths& install = app::GameInstall();
        call_.game = {install.gameFolder, install.gameExecutable, install.systemFolder,
                      bench::LogPathFor(install.gameFolder)};

        for (Output& output : outputs_) {
            std::string problem;
            if (!output.path->empty() && !output.file.Create(*output.path, problem)) {
                PrintError(framework::Format("%s: %s cannot write \"%s\": %s\n", kProgramName, output.option,
                                             output.path->c_str(), problem.c_str()));
                return kExitBadArgument;
            }
        }

        const ConsoleControlScope controlHandler;

        call_.machine = GatherMachineFacts();
        if (!options_.quiet) {
            Print(HeaderText(call_));
        }
        total_ = Stopwatch();
        for (const Configuration& configuration : Configurations(call_.plan)) {
            call_.configurations.emplace_back();
            ConfigurationReport& report = call_.configurations.back();
            report.configuration = configuration;
            // The window's options and composition, once for each configuration.
            lines_ = Compose(report);
            if (!report.composeMessage.empty()) {
                const bool sweep = Configurations(call_.plan).size() > 1;
                PrintError((sweep ? ConfigurationText(configuration) + ": " : "") + report.composeMessage +
                           "\n");
            }
            RunRounds(report);
            if (report.stopped) {
                break;
            }
        }

        Print((options_.quiet ? "" : "\n") + ResultsText(call_));
        const bool written = WriteOutputs();
        ConsoleControlScope::Done();
        return written ? ExitStatus(call_) : kExitSomeFailed;
    }

private:
    // The window's options and composition for one configuration.
    std::vector<bench::SceneLine> Compose(ConfigurationReport& report) const {
        bench::BeginPress();
        bench::PressOptions press;
        press.renderer = report.configuration.renderer;
        press.detail = report.configuration.detail;
        press.resolutionText = report.configuration.resolution;
        press.chosen = call_.plan.scenes;
        const bench::ComposedPress composed = bench::ComposePress(press, app::GameInstall().gameExecutable);
        if (composed.status != bench::ComposeStatus::Ready) {
            report.composeMessage = composed.message;
            return {};
        }
        for (const bench::SceneLine& line : composed.scenes) {
            report.commandLines.push_back({line.index, line.commandLine});
        }
        return composed.scenes;
    }

    void RunRounds(ConfigurationReport& report) {
        for (int round = 1; !report.stopped; ++round) {
            const std::vector<int> scenes = ScenesOfRound(call_.plan, report, round);
            if (scenes.empty()) {
                return;
            }
            if (round > call_.plan.runs && !options_.quiet) {
                for (const int scene : scenes) {
                    Print(ExtraRunText(call_, report, scene));
                }
            }
            // Each round is one press of the window: its own sums, its own slots.
            report.sets.emplace_back();
            for (const int scene : scenes) {
                if (StopRequested()) {
                    report.stopped = true;
                    return;
                }
                RunOne(report, LineOf(scene), round);
                // The window's pause after every scene; Ctrl-C cuts it short.
                if (report.stopped || WaitForStop(bench::kScenePauseMs)) {
                    report.stopped = true;
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

    void RunOne(ConfigurationReport& report, const bench::SceneLine& line, int round) {
        GameJobLauncher launcher(static_cast<DWORD>(TimeoutSeconds(call_.plan, SceneOf(line.index))) * 1000,
                                 StopEvent());
        SceneAttempt record;
        record.sceneIndex = line.index;
        record.round = round;
        record.attempt = 1;
        for (const SceneAttempt& earlier : report.runs) {
            record.attempt += earlier.sceneIndex == line.index ? 1 : 0;
        }

        const Stopwatch sceneTime;
        const bench::SceneOutcome outcome =
            bench::RunScene(line, app::InstalledGamePlaces(), report.sets.back(), std::ref(launcher));
        record.seconds = sceneTime.Seconds();
        record.status = outcome.status;
        record.message = outcome.message;
        if (LogWasRead(record)) {
            record.lastLine = outcome.lastLine;
            record.reading = ReadLastLineValues(outcome.lastLine);
        }
        report.runs.push_back(record);

        if (!options_.quiet) {
            Print(ProgressText(call_, report, record, total_.Seconds()));
        }
        if (!launcher.JobsWork() && !jobWarningShown_) {
            jobWarningShown_ = true;
            PrintError(
                framework::Format("%s: the game could not be put into a job of its own (%s); a time-out "
                                  "or Ctrl-C ends only the game's own process, not the processes it "
                                  "started.\n",
                                  kProgramName, launcher.JobProblem().c_str()));
        }
        if (record.status == bench::SceneStatus::Stopped) {
            report.stopped = true;
        }
    }

    // Each file asked for, filled with its text; false when one could not be written.
    bool WriteOutputs() {
        bool written = true;
        for (Output& output : outputs_) {
            std::string problem;
            if (output.file.IsOpen() && !output.file.Write(output.text(call_), problem)) {
                PrintError(framework::Format("%s: %s could not write \"%s\": %s\n", kProgramName,
                                             output.option, output.path->c_str(), problem.c_str()));
                written = false;
            }
        }
        return written;
    }

    const RunOptions& options_;
    CallReport call_;
    std::vector<bench::SceneLine> lines_; // the configuration running
    std::vector<Output> outputs_;
    Stopwatch total_; // from the first configuration's start
    bool jobWarningShown_ = false;
};

} // namespace

int RunBenchmarks(const RunOptions& options, const std::string& korvaneVersion) {
    ConsoleRun run(options, korvaneVersion);
    return run.Run();
}

} // namespace cli
