// korvane-cli's entry point: reads the arguments and runs, compares two reports,
// or prints the help or the version.
#include <cstdio>
#include <exception>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/Compare.h"
#include "cli/ConsoleRun.h"
#include "framework/ProcessStart.h"
#include "res/version.h"

namespace {

void Print(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char** argv) {
    framework::StartProcess();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const cli::ParsedArguments parsed = cli::ParseArguments(arguments);
    if (!parsed.error.empty()) {
        Print(stderr, std::string(cli::kProgramName) + ": " + parsed.error + "\nTry " + cli::kProgramName +
                          " --help.\n");
        return cli::kExitBadArgument;
    }
    switch (parsed.command) {
    case cli::Command::Help:
        Print(stdout, cli::HelpText());
        return cli::kExitAllResults;
    case cli::Command::Version:
        Print(stdout, cli::VersionText(KORVANE_VERSION_TEXT));
        return cli::kExitAllResults;
    case cli::Command::Compare: {
        std::ostringstream out;
        std::ostringstream errors;
        int status = cli::kExitBadArgument;
        try {
            status = cli::RunCompare(parsed.compare, out, errors, cli::AnsiToUtf8);
        } catch (const std::exception& error) {
            errors << cli::kProgramName << ": " << error.what() << "\n";
        }
        Print(stdout, out.str());
        Print(stderr, errors.str());
        return status;
    }
    case cli::Command::Run:
        break;
    }
    try {
        return cli::RunBenchmarks(parsed.options, KORVANE_VERSION_TEXT);
    } catch (const std::exception& error) {
        Print(stderr, std::string(cli::kProgramName) + ": " + error.what() + "\n");
        return cli::kExitSomeFailed;
    }
}
