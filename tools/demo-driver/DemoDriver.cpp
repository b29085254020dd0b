// korvane-demo-driver: drives a running korvane.exe one step at a time for the
// demo script, which takes a screenshot after each step. It prints what the
// windows show. Steps:
//   wait-main        wait for the main window (or a message box) and print the machine facts
//   benchmark        press "BENCHMARK NOW!" and wait for the result window; print the score
//   details          press "Benchmark Details..." and print the details list
//   about            press "Credits..." and wait for the About window
//   close-about      close the About window with OK
//   message          print the open message box, if any, and close it
//   exit             press "Exit" and wait for Korvane to end
//   rect CAPTION     print the screen rectangle of Korvane's window CAPTION as "x y width height"
// Exit status: 0 when the step worked, 1 when it did not, 2 for a bad argument.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "driver/KorvaneWindows.h"
#include "driver/Process.h"
#include "driver/Ui.h"
#include "driver/Paths.h"
#include "res/resource.h"

namespace {

// A run of six scenes takes six game runs and six pauses of 3 s.
constexpr DWORD kRunTimeoutMs = 10 * 60 * 1000;
constexpr DWORD kWindowTimeoutMs = 30 * 1000;

std::optional<DWORD> KorvaneProcessId() {
    for (const driver::ProcessEntry& entry : driver::RunningProcesses()) {
        if (driver::EqualsIgnoringCase(entry.executableName, "korvane.exe")) {
            return entry.id;
        }
    }
    return std::nullopt;
}

HWND WaitForWindow(DWORD processId, const char* caption, DWORD timeoutMs) {
    driver::WindowQuery query;
    query.caption = caption;
    return driver::WaitForTopLevelWindow(processId, query, timeoutMs);
}

void PrintControl(HWND dialog, const char* label, int id) {
    std::printf("  %-12s %s\n", label, driver::ControlText(dialog, id).value_or("?").c_str());
}

bool PrintMessageBox(DWORD processId, bool close) {
    const std::optional<driver::MessageBoxInfo> box = driver::FindMessageBox(processId);
    if (!box) {
        return false;
    }
    std::printf("message box \"%s\":\n%s\n", box->caption.c_str(), box->text.c_str());
    if (close) {
        driver::CloseMessageBox(*box);
    }
    return true;
}

int WaitMain(DWORD processId) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < kWindowTimeoutMs) {
        if (HWND main = WaitForWindow(processId, driver::kMainCaption, 200)) {
            std::printf("main window \"%s\"\n", driver::kMainCaption);
            PrintControl(main, "Processor:", IDC_MAIN_PROCESSOR);
            PrintControl(main, "Frequency:", IDC_MAIN_FREQUENCY);
            PrintControl(main, "Cache:", IDC_MAIN_CACHE);
            PrintControl(main, "RAM Size:", IDC_MAIN_RAM);
            PrintControl(main, "OS Name:", IDC_MAIN_OS_NAME);
            PrintControl(main, "Video Card:", IDC_MAIN_VIDEO_CARD);
            return 0;
        }
        if (PrintMessageBox(processId, false)) {
            return 1;
        }
    }
    std::printf("no main window within %lu s\n", static_cast<unsigned long>(kWindowTimeoutMs / 1000));
    return 1;
}

int Benchmark(DWORD processId) {
    HWND main = WaitForWindow(processId, driver::kMainCaption, kWindowTimeoutMs);
    if (main == nullptr) {
        std::printf("no main window to press BENCHMARK NOW! on\n");
        return 1;
    }
    std::printf("pressed BENCHMARK NOW!; waiting for the game runs...\n");
    std::fflush(stdout);
    const driver::PressOutcome outcome = driver::PressBenchmarkNow(processId, main, kRunTimeoutMs);
    if (PrintMessageBox(processId, false) || !outcome.resultsShown) {
        if (!outcome.messageBox) {
            std::printf("no result within %lu s\n", static_cast<unsigned long>(kRunTimeoutMs / 1000));
        }
        return 1;
    }
    HWND result = driver::KorvaneWindow(processId, driver::kResultCaption);
    std::printf("result window \"%s\" after %lu s\n", driver::kResultCaption,
                static_cast<unsigned long>(outcome.elapsedMs / 1000 + 1));
    PrintControl(result, "Score:", IDC_RESULT_SCORE);
    PrintControl(result, "Unit:", IDC_RESULT_UNIT);
    PrintControl(result, "Flyby:", IDC_RESULT_FLYBY);
    PrintControl(result, "Botmatch:", IDC_RESULT_BOTMATCH);
    return 0;
}

int Details(DWORD processId) {
    const auto rows = driver::OpenDetails(processId, kWindowTimeoutMs);
    if (!rows) {
        std::printf("no details list\n");
        return 1;
    }
    std::printf("details window \"%s\":\n", driver::kDetailsCaption);
    for (const std::vector<std::string>& row : *rows) {
        std::printf("  %-32s %s\n", row.empty() ? "" : row[0].c_str(), row.size() > 1 ? row[1].c_str() : "");
    }
    return 0;
}

int About(DWORD processId) {
    HWND main = WaitForWindow(processId, driver::kMainCaption, kWindowTimeoutMs);
    if (main == nullptr || !driver::PostClick(main, IDC_MAIN_CREDITS)) {
        std::printf("no main window to press Credits... on\n");
        return 1;
    }
    if (WaitForWindow(processId, driver::kAboutCaption, kWindowTimeoutMs) == nullptr) {
        std::printf("no About window\n");
        return 1;
    }
    std::printf("about window \"%s\"\n", driver::kAboutCaption);
    return 0;
}

int CloseAbout(DWORD processId) {
    HWND about = WaitForWindow(processId, driver::kAboutCaption, kWindowTimeoutMs);
    return about != nullptr && driver::PostCommand(about, IDOK) ? 0 : 1;
}

int PrintRect(DWORD processId, const char* caption) {
    HWND window = WaitForWindow(processId, caption, kWindowTimeoutMs);
    RECT rect{};
    if (window == nullptr || !::GetWindowRect(window, &rect)) {
        return 1;
    }
    std::printf("%ld %ld %ld %ld\n", static_cast<long>(rect.left), static_cast<long>(rect.top),
                static_cast<long>(rect.right - rect.left), static_cast<long>(rect.bottom - rect.top));
    return 0;
}

int Exit(DWORD processId) {
    HWND main = WaitForWindow(processId, driver::kMainCaption, kWindowTimeoutMs);
    if (main == nullptr || !driver::PostClick(main, IDCANCEL)) {
        return 1;
    }
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < kWindowTimeoutMs) {
        if (!KorvaneProcessId()) {
            std::printf("Korvane has ended\n");
            return 0;
        }
        ::Sleep(100);
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: korvane-demo-driver "
                             "wait-main|benchmark|details|about|close-about|message|exit|rect CAPTION\n");
        return 2;
    }
    const std::string step = argv[1];
    std::optional<DWORD> processId;
    for (int tries = 0; tries < 100 && !processId; ++tries) {
        processId = KorvaneProcessId();
        if (!processId) {
            ::Sleep(100);
        }
    }
    if (!processId) {
        std::printf("korvane.exe is not running\n");
        return 1;
    }
    int status = 2;
    if (step == "wait-main") {
        status = WaitMain(*processId);
    } else if (step == "benchmark") {
        status = Benchmark(*processId);
    } else if (step == "details") {
        status = Details(*processId);
    } else if (step == "about") {
        status = About(*processId);
    } else if (step == "close-about") {
        status = CloseAbout(*processId);
    } else if (step == "message") {
        status = PrintMessageBox(*processId, true) ? 0 : 1;
    } else if (step == "rect" && argc == 3) {
        status = PrintRect(*processId, argv[2]);
    } else if (step == "exit") {
        status = Exit(*processId);
    } else {
        std::fprintf(stderr, "korvane-demo-driver: unknown step '%s'\n", step.c_str());
    }
    std::fflush(stdout);
    return status;
}
