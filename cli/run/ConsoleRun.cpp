// The console run: every configuration in turn, all its rounds before the next,
// the files written after every scene run.
#include "cli/run/ConsoleRun.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "app/InstallLookup.h"
#include "app/InstallPaths.h"
#include "bench/BenchmarkLog.h"
#include "bench/BenchmarkRun.h"
#include "bench/GameProcess.h"
#include "cli/compare/ReportReader.h"
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
#include "cli/run/OutputFiles.h"
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

// korvane-cli's own words where the window's name Korvane's folder: the game is
// handed korvane-cli's current folder.
constexpr char kFolderTooLongFormat[] =
    "The current folder is too long for the game's command line (at most 199 characters):\n\n%s\n\n"
    "Start korvane-cli in a copy of Korvane's folder with a shorter path.";
constexpr char kLineTooLongFormat[] =
    "The game's command line for the scene \"%s\" would be %u characters long; at most 279 fit.\n\n"
    "Install the demo, or start korvane-cli in a copy of Korvane's folder, in a folder with a shorter path.";

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

// Now, as local date and time with the offset from UTC: "2026-12-08T15:02:25+01:00".
std::string LocalTimeText() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    TIME_ZONE_INFORMATION zone{};
    const DWORD kind = ::GetTimeZoneInformation(&zone);
    long bias = zone.Bias;
    bias += kind == TIME_ZONE_ID_DAYLIGHT   ? zone.DaylightBias
            : kind == TIME_ZONE_ID_STANDARD ? zone.StandardBias
                                            : 0;
    const long offset = -bias;
    return framework::Format("%04u-%02u-%02uT%02u:%02u:%02u%c%02ld:%02ld", now.wYear, now.wMonth, now.wDay,
                             now.wHour, now.wMinute, now.wSecond, offset < 0 ? '-' : '+',
                             std::labs(offset) / 60, std::labs(offset) % 60);
}

// The game is handed the renderer ini files of the current folder: each one the
// plan needs must be there. The message says where it looked, when one is not.
bool IniFilesPresent(const RunPlan& plan, std::string& message) {
    const std::string folder = FullPath(".");
    for (const bench::Renderer renderer : plan.renderers) {
        for (const bench::Detail detail : plan.details) {
            const std::string file = bench::RendererIniFile(renderer, detail);
            if (!FileExists(file)) {
                message =
                    framework::Format("the game would be handed the renderer settings %s of the current "
                                      "folder, %s, and there is "
                                      "none: start korvane-cli in Korvane's folder, where its ini files are",
                                      file.c_str(), folder.c_str());
                return false;
            }
        }
    }
    return true;
}

// The window's press composed for one configuration; the lines of the chosen
// scenes, or none with the reason in the report.
std::vector<bench::SceneLine> Compose(const RunPlan& plan, ConfigurationReport& report) {
    bench::BeginPress();
    bench::PressOptions press;
    press.renderer = report.configuration.renderer;
    press.detail = report.configuration.detail;
    press.resolutionText = report.configuration.resolution;
    press.chosen = plan.scenes;
    const bench::ComposedPress composed = bench::ComposePress(press, app::GameInstall().gameExecutable);
    report.commandLines.clear();
    switch (composed.status) {
    case bench::ComposeStatus::Ready:
        for (const bench::SceneLine& line : composed.scenes) {
            report.commandLines.push_back({line.index, line.commandLine});
        }
        return composed.scenes;
    case bench::ComposeStatus::FolderTooLong:
        report.composeMessage = framework::Format(kFolderTooLongFormat, composed.currentDirectory.c_str());
        return {};
    case bench::ComposeStatus::LineTooLong:
        report.composeMessage =
            framework::Format(kLineTooLongFormat, composed.sceneText, composed.lineLength);
        return {};
    case bench::ComposeStatus::NoSceneChosen:
        break;
    }
    report.composeMessage = composed.message;
    return {};
}

class ConsoleRun {
public:
    // `secondsLeft` is where the estimate of the time left goes, for the page.
    ConsoleRun(CallReport& call, bool quiet, OutputFiles& outputs, std::optional<double>& secondsLeft)
        : call_(call), quiet_(quiet), outputs_(outputs), secondsLeft_(secondsLeft) {}

    // Runs every scene run the call has not run yet, writing the files after
    // each, and returns the exit status.
    int Go() {
        outputs_.Write(ConsoleOutput(), false, &call_.outputFailed);
        const std::vector<Configuration> planned = Configurations(call_.plan);
        // A configuration runs to its end before the next begins: only the last one begun may go on.
        for (std::size_t index = call_.configurations.empty() ? 0 : call_.configurations.size() - 1;
             index < planned.size() && !Stopped(call_); ++index) {
            if (index == call_.configurations.size()) {
                call_.configurations.emplace_back();
                call_.configurations.back().configuration = planned[index];
            }
            ConfigurationReport& report = call_.configurations[index];
            const bool composedBefore = !report.composeMessage.empty() && report.commandLines.empty();
            lines_ = composedBefore ? std::vector<bench::SceneLine>() : Compose(call_.plan, report);
            RunConfiguration(report);
        }
        call_.complete = !Stopped(call_);
        Print((quiet_ ? "" : "\n") + ResultsText(call_));
        outputs_.Write(ConsoleOutput(), true, &call_.outputFailed);
        if (!call_.complete && !call_.files.json.empty()) {
            Print(framework::Format("To go on from here: %s --resume \"%s\"\n", kProgramName,
                                    call_.files.json.c_str()));
        }
        ConsoleControlScope::Done();
        return ExitStatus(call_);
    }

private:
    void RunConfiguration(ConfigurationReport& report) {
        // The round whose extra runs have been announced.
        int announced = report.runs.empty() ? 0 : report.runs.back().round;
        while (!report.stopped) {
            const std::optional<SceneRunPlace> next = NextSceneRun(call_.plan, report);
            if (!next) {
                return;
            }
            if (next->round > call_.plan.runs && next->round != announced && !quiet_) {
                for (const int scene : ScenesOfRound(call_.plan, report, next->round)) {
                    if (scene >= next->sceneIndex) {
                        Print(ExtraRunText(call_, report, scene));
                    }
                }
            }
            announced = next->round;
            if (StopRequested()) {
                report.stopped = true;
                return;
            }
            RunOne(report, *next);
            // The window's pause after every scene; Ctrl-C cuts it short.
            if (report.stopped || WaitForStop(bench::kScenePauseMs)) {
                report.stopped = true;
                return;
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

    void RunOne(ConfigurationReport& report, const SceneRunPlace& place) {
        GameJobLauncher launcher(
            static_cast<DWORD>(TimeoutSeconds(call_.plan, SceneOf(place.sceneIndex))) * 1000, StopEvent());
        SceneAttempt record;
        record.sceneIndex = place.sceneIndex;
        record.round = place.round;
        record.attempt = 1;
        for (const SceneAttempt& earlier : report.runs) {
            record.attempt += earlier.sceneIndex == place.sceneIndex ? 1 : 0;
        }
        // Each round is one press of the window: its own sums, its own slots.
        report.sets.resize(std::max(report.sets.size(), static_cast<std::size_t>(place.round)));

        const Stopwatch sceneTime;
        const bench::SceneOutcome outcome =
            bench::RunScene(LineOf(place.sceneIndex), app::InstalledGamePlaces(),
                            report.sets[static_cast<std::size_t>(place.round - 1)], std::ref(launcher));
        record.seconds = sceneTime.Seconds();
        record.status = outcome.status;
        record.message = outcome.message;
        if (LogWasRead(record)) {
            record.lastLine = outcome.lastLine;
            record.reading = ReadLastLineValues(outcome.lastLine);
        }
        report.runs.push_back(record);
        if (record.status == bench::SceneStatus::Stopped) {
            report.stopped = true;
        } else {
            ++runsThisCall_;
        }

        secondsLeft_ = SecondsLeft();
        if (!quiet_) {
            Print(ProgressText(call_, report, record, started_.Seconds(), secondsLeft_));
        }
        if (!launcher.JobsWork() && !jobWarningShown_) {
            jobWarningShown_ = true;
            PrintError(
                framework::Format("%s: the game could not be put into a job of its own (%s); a time-out "
                                  "or Ctrl-C ends only the game's own process, not the processes it "
                                  "started.\n",
                                  kProgramName, launcher.JobProblem().c_str()));
        }
        outputs_.Write(ConsoleOutput(), false, &call_.outputFailed);
    }

    // The time the scene runs still planned take at the pace of this call's runs so
    // far, each with the pause after it (which has not passed yet for the last).
    std::optional<double> SecondsLeft() const {
        const Progress progress = ProgressOf(call_);
        if (runsThisCall_ == 0) {
            return std::nullopt;
        }
        const double perRun = (started_.Seconds() + bench::kScenePauseMs / 1000.0) / runsThisCall_;
        return perRun * (progress.planned - progress.done);
    }

    CallReport& call_;
    bool quiet_;
    OutputFiles& outputs_;
    std::optional<double>& secondsLeft_;
    std::vector<bench::SceneLine> lines_; // the configuration running
    Stopwatch started_;                   // from this call's start (a resumed call's own)
    int runsThisCall_ = 0;
    bool jobWarningShown_ = false;
};

// The files of `call`, each with its text; the page says how much time is left, as `secondsLeft` holds it.
void AddOutputs(OutputFiles& outputs, const CallReport& call, const std::optional<double>& secondsLeft) {
    outputs.Add(
        "--json", call.files.json, [&call] { return ReportJson(call, AnsiToUtf8); }, true);
    outputs.Add("--csv", call.files.csv, [&call] { return ReportCsv(call); });
    outputs.Add("--html", call.files.html,
                [&call, &secondsLeft] { return ReportHtml(call, AnsiToUtf8, secondsLeft); });
}

// The demo's folder into the process's InstallPaths and the call; false, printed, when it is not installed.
bool FindGame(CallReport& call) {
    const std::optional<std::string> folder = app::ReadDemoFolder();
    if (!folder) {
        PrintError(std::string(app::kFatalText) + "\n");
        return false;
    }
    app::GameInstall() = app::MakeInstallPaths(*folder);
    const app::InstallPaths& install = app::GameInstall();
    call.game = {install.gameFolder, install.gameExecutable, install.systemFolder,
                 bench::LogPathFor(install.gameFolder)};
    return true;
}

int Refuse(const std::string& message) {
    PrintError(std::string(kProgramName) + ": " + message + "\n");
    return kExitBadArgument;
}

} // namespace

int RunBenchmarks(const RunOptions& options, const std::string& korvaneVersion) {
    CallReport call;
    call.korvaneVersion = korvaneVersion;
    call.plan = options.plan;
    if (!FindGame(call)) {
        return kExitNotInstalled;
    }
    std::string message;
    if (!IniFilesPresent(call.plan, message)) {
        return Refuse(message);
    }
    for (const auto& [given, full] : {std::make_pair(&options.jsonPath, &call.files.json),
                                      std::make_pair(&options.csvPath, &call.files.csv),
                                      std::make_pair(&options.htmlPath, &call.files.html)}) {
        *full = given->empty() ? std::string() : FullPath(*given);
    }
    std::optional<double> secondsLeft;
    OutputFiles outputs;
    AddOutputs(outputs, call, secondsLeft);
    // Every path is checked before any file is touched.
    if (!outputs.Check({}, message)) {
        return Refuse(message);
    }
    call.startedAt = LocalTimeText();
    call.machine = GatherMachineFacts();
    call.adapter = sysinfo::DefaultAdapterIdentity();
    if (!options.quiet) {
        Print(HeaderText(call));
    }
    return ConsoleRun(call, options.quiet, outputs, secondsLeft).Go();
}

int ResumeBenchmarks(const RunOptions& options) {
    const std::string& path = options.resumePath;
    // A replacement that a crash on Windows 98 or ME cut short between its two
    // steps left the whole new report beside the old one, or in its place.
    std::string problem;
    std::optional<ReportFile> report;
    for (const std::string& candidate : {PendingPathFor(path), path}) {
        std::string why;
        if (const std::optional<std::string> text = ReadWholeFile(candidate, kMaxReportBytes, why)) {
            report = ReadReport(*text, why, Utf8ToAnsi);
        }
        if (report) {
            break;
        }
        problem = candidate == path ? why : problem;
    }
    if (!report) {
        return Refuse(framework::Format("\"%s\" cannot be resumed: %s", path.c_str(), problem.c_str()));
    }
    if (report->formatVersion < kReportFormatVersion) {
        return Refuse(
            framework::Format("\"%s\" cannot be resumed: it is a report of format version %d, which "
                              "records no plan to go on with",
                              path.c_str(), report->formatVersion));
    }
    CallReport& call = report->call;
    if (call.complete) {
        Print(framework::Format("%s: \"%s\" is complete: there is nothing to resume.\n", kProgramName,
                                path.c_str()));
        return kExitAllResults;
    }
    if (!FindGame(call)) {
        return kExitNotInstalled;
    }
    const sysinfo::MachineTexts machine = GatherMachineFacts();
    std::string differs;
    for (const auto& [name, recorded, here] :
         {std::make_tuple("processor", &call.machine.processor, &machine.processor),
          std::make_tuple("video card", &call.machine.videoCard, &machine.videoCard),
          std::make_tuple("OS", &call.machine.osName, &machine.osName)}) {
        if (*recorded != *here) {
            differs += framework::Format("%sits %s is \"%s\", this machine's \"%s\"",
                                         differs.empty() ? "" : "; ", name, recorded->c_str(), here->c_str());
        }
    }
    if (!differs.empty()) {
        return Refuse(
            framework::Format("\"%s\" was measured on another machine: %s", path.c_str(), differs.c_str()));
    }
    std::string message;
    if (!IniFilesPresent(call.plan, message)) {
        return Refuse(message);
    }
    // A run that Ctrl-C stopped did not end: it is run again.
    for (ConfigurationReport& configuration : call.configurations) {
        while (!configuration.runs.empty() &&
               configuration.runs.back().status == bench::SceneStatus::Stopped) {
            configuration.runs.pop_back();
        }
        configuration.stopped = false;
    }
    call.files.json = FullPath(path);
    std::optional<double> secondsLeft;
    OutputFiles outputs;
    AddOutputs(outputs, call, secondsLeft);
    if (!outputs.Check({}, message)) {
        return Refuse(message);
    }
    const Progress progress = ProgressOf(call);
    Print(framework::Format("Resuming \"%s\": %d of %d scene runs are done.\n", path.c_str(), progress.done,
                            progress.planned));
    if (!options.quiet) {
        Print(HeaderText(call));
    }
    return ConsoleRun(call, options.quiet, outputs, secondsLeft).Go();
}

} // namespace cli
