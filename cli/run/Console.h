// korvane-cli's console output: what it prints goes out at once, on standard
// output or standard error. Win32 room (C stdio underneath).
#pragma once

#include <functional>
#include <string>

namespace cli {

void Print(const std::string& text);
void PrintError(const std::string& text);

// Where a command's texts go: standard output and standard error, or what a test gives.
struct ConsoleOutput {
    std::function<void(const std::string&)> print = Print;
    std::function<void(const std::string&)> printError = PrintError;
};

} // namespace cli
