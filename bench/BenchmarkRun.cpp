// One benchmark press: line composition and the run of one scene.
#include "bench/BenchmarkRun.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "bench/BenchmarkLog.h"
#include "bench/GameProcess.h"
#include "bench/LogValue.h"
#include "bench/RunMessages.h"
#include "framework/Format.h"
#include "framework/TextFile.h"

namespace bench {

namespace {

// Length in characters of a scene's command line that did not fit: the template
// without its three "%s", plus the three values.
std::size_t CommandLineLength(const SceneRow& scene, const std::string& gameExecutable,
                              const std::string& iniArguments, const std::string& resolutionText) {
    return std::string(scene.commandLineTemplate).size() - 6 + gameExecutable.size() + iniArguments.size() +
           resolutionText.size();
}

// The whole current directory, however long, for the message that says it is too long.
std::string FullCurrentDirectory() {
    std::vector<char> directory(32768, '\0');
    ::GetCurrentDirectoryA(static_cast<DWORD>(directory.size()), directory.data());
    return directory.data();
}

ComposedPress Failed(ComposeStatus status, std::string message, std::string iniArguments) {
    ComposedPress press;
    press.status = status;
    press.message = std::move(message);
    press.iniArguments = std::move(iniArguments);
    return press;
}

} // namespace

void BeginPress() {
    ::SetPriorityClass(::GetCurrentProcess(), kOwnPriorityClass);
}

ComposedPress ComposePress(const PressOptions& options, const std::string& gameExecutable) {
    char currentDirectory[kCurrentDirectoryBytes] = {};
    const DWORD directoryLength = ::GetCurrentDirectoryA(sizeof currentDirectory, currentDirectory);
    const bool directoryFits = directoryLength > 0 && directoryLength < sizeof currentDirectory;

    ComposedPress press;
    press.iniArguments =
        FormatIniArguments(options.renderer, options.detail, directoryFits ? currentDirectory : "");
    for (const SceneRow& scene : SceneTable()) {
        if (!options.chosen[static_cast<std::size_t>(scene.index)]) {
            continue;
        }
        if (!directoryFits) {
            ComposedPress failed = Failed(
                ComposeStatus::FolderTooLong,
                framework::Format(kFolderTooLongFormat, FullCurrentDirectory().c_str()), press.iniArguments);
            failed.currentDirectory = FullCurrentDirectory();
            return failed;
        }
        std::optional<std::string> line =
            ComposeCommandLine(scene, gameExecutable, press.iniArguments, options.resolutionText);
        if (!line) {
            const auto length = static_cast<unsigned>(
                CommandLineLength(scene, gameExecutable, press.iniArguments, options.resolutionText));
            ComposedPress failed =
                Failed(ComposeStatus::LineTooLong,
                       framework::Format(kLineTooLongFormat, scene.checkBoxText, length), press.iniArguments);
            failed.sceneText = scene.checkBoxText;
            failed.lineLength = length;
            return failed;
        }
        press.scenes.push_back({scene.index, std::move(*line)});
    }
    if (press.scenes.empty()) {
        return Failed(ComposeStatus::NoSceneChosen, kNoSceneText, press.iniArguments);
    }
    press.status = ComposeStatus::Ready;
    return press;
}

GameEnd LaunchAndWait(const std::string& gameExecutable, const std::string& commandLine,
                      const std::string& workingDirectory, std::string& failureReason) {
    return RunGameAndWait(gameExecutable, commandLine, workingDirectory, failureReason) ? GameEnd::Ended
                                                                                        : GameEnd::NotStarted;
}

SceneOutcome RunScene(const SceneLine& scene, const GamePlaces& game, SceneResults& results,
                      const GameLauncher& launch) {
    SceneOutcome outcome;
    const std::string logPath = LogPathFor(game.installFolder);
    const LogStamp before = StampLog(logPath);

    const char* sceneText = SceneTable()[static_cast<std::size_t>(scene.index)].checkBoxText;
    std::string reason;
    switch (launch(game.executable, scene.commandLine, game.workingFolder, reason)) {
    case GameEnd::Ended:
        break;
    case GameEnd::NotStarted:
        outcome.status = SceneStatus::GameNotStarted;
        outcome.message = framework::Format(kGameNotStartedFormat, game.executable.c_str(), reason.c_str());
        return outcome;
    case GameEnd::TimedOut:
        outcome.status = SceneStatus::TimedOut;
        outcome.message = framework::Format(kGameTimedOutFormat, sceneText, reason.c_str());
        return outcome;
    case GameEnd::Stopped:
        outcome.status = SceneStatus::Stopped;
        outcome.message = framework::Format(kGameStoppedFormat, sceneText);
        return outcome;
    }

    // A log the game did not touch holds an older run's number, never this scene's.
    const LogStamp after = StampLog(logPath);
    if (after.exists && after == before) {
        outcome.status = SceneStatus::NoNewResult;
        outcome.message = framework::Format(kNoNewResultFormat, sceneText, logPath.c_str());
        return outcome;
    }

    try {
        framework::TextFileReader log(logPath);
        outcome.lastLine = ReadLastLine(log);
        outcome.fps = ExtractSceneFps(outcome.lastLine);
        results.RecordScene(scene.index, outcome.fps);
        log.Close();
        if (!HasSceneNumber(outcome.lastLine)) {
            outcome.status = SceneStatus::NoNumber;
            outcome.message = kNoNumberText + outcome.lastLine;
            return outcome;
        }
    } catch (const framework::FileError& error) {
        outcome.status = SceneStatus::LogUnreadable;
        outcome.message =
            framework::Format(kLogUnreadableFormat, error.Path().c_str(), error.Cause().c_str());
        return outcome;
    } catch (const LastLineTooLong& error) {
        outcome.status = SceneStatus::LogUnreadable;
        outcome.message = framework::Format(kLogUnreadableFormat, logPath.c_str(), error.what());
        return outcome;
    }
    outcome.status = SceneStatus::Recorded;
    return outcome;
}

} // namespace bench
