// korvane-cli's entry point: reads the arguments and runs the benchmark (or
// resumes one), compares two reports, merges many, or prints the help or the
// version.
#include <exception>
#include <string>
#include <vector>

#include "cli/args/Arguments.h"
#include "cli/report/ExitStatus.h"
#include "cli/run/CompareCommand.h"
#include "cli/run/Console.h"
#include "cli/run/ConsoleRun.h"
#include "cli/run/MergeCommand.h"
#include "cli/run/StopSignals.h"
#include "framework/ProcessStart.h"
#include "res/version.h"

int main(int argc, char** argv) {
    framework::StartProcess();
    // Ctrl-C is taken from the first moment on: one pressed before the first game
    // stops the run before it starts.
    const cli::ConsoleControlScope controlHandler;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const cli::ParsedArguments parsed = cli::ParseArguments(arguments);
    if (!parsed.error.empty()) {
        cli::PrintError(std::string(cli::kProgramName) + ": " + parsed.error + "\nTry " + cli::kProgramName +
                        " --help.\n");
        return cli::kExitBadArgument;
    }
    try {
        switch (parsed.command) {
        case cli::Command::Help:
            cli::Print(cli::HelpText());
            return cli::kExitAllResults;
        case cli::Command::Version:
            cli::Print(cli::VersionText(KORVANE_VERSION_TEXT));
            return cli::kExitAllResults;
        case cli::Command::Compare:
            return cli::RunCompare(parsed.compare);
        case cli::Command::Resume:
            return cli::ResumeBenchmarks(parsed.run);
        case cli::Command::Merge:
            return cli::RunMerge(parsed.merge);
        case cli::Command::Run:
            break;
        }
        return cli::RunBenchmarks(parsed.run, KORVANE_VERSION_TEXT);
    } catch (const std::exception& error) {
        cli::PrintError(std::string(cli::kProgramName) + ": " + error.what() + "\n");
        return parsed.command == cli::Command::Run || parsed.command == cli::Command::Resume
                   ? cli::kExitSomeFailed
                   : cli::kExitBadArgument;
    }
}
