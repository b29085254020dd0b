// What the bad-input tests share: log lines in the engine's shape, the expected
// file-error box, and another program's hold on the benchmark log.
#pragma once

#include <windows.h>

#include <string>

#include "driver/Files.h"
#include "driver/Handles.h"

namespace e2e {

// "<min> / <avg> / <max> fps -- Score = <avg>        rand[<seed>]", as the engine
// writes a result, without its line end; the number after "=" is `fps`.
std::string EngineLine(double fps, unsigned seed);

// The log's path as Korvane builds it from the registry's folder.
std::string LogPathAsKorvaneNamesIt(const DemoInstall& demo);

// The start of Korvane's box for a log it cannot read; the system's reason follows.
std::string LogUnreadableStart(const DemoInstall& demo);

// The system's wording for `code`, without the code itself.
std::string SystemMessage(DWORD code);

// Holds the log as another program would once the game's start number `start`
// (counted over the whole installation) has been recorded: it opens the log
// with no sharing at all, appends a result line to it (so the log has changed
// since the game started) and keeps it open until released or destroyed.
class LogHolder {
public:
    LogHolder(const DemoInstall& demo, std::size_t start, double fps)
        : demo_(demo), start_(start), fps_(fps) {}

    // Called while a press runs with the number of starts recorded so far: takes
    // the log once the start shows; true while held. A failure is kept in Problem().
    bool Poll(std::size_t recordedStarts);
    bool Held() const noexcept { return static_cast<bool>(file_); }
    const std::string& Problem() const noexcept { return problem_; }
    void Release() noexcept { file_.reset(); }

private:
    const DemoInstall& demo_;
    std::size_t start_;
    double fps_;
    bool tried_ = false;
    std::string problem_;
    KernelHandle file_;
};

} // namespace e2e
