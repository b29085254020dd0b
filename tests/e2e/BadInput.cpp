// Shared pieces of the bad-input tests.
#include "BadInput.h"

#include <cstdio>

#include "driver/SystemText.h"

namespace e2e {

std::string EngineLine(double fps, unsigned seed) {
    char line[256];
    std::snprintf(line, sizeof line, "%.6f / %.6f / %.6f fps -- Score = %.6f        rand[%u]", fps * 0.5, fps,
                  fps * 2.0, fps, seed);
    return line;
}

std::string LogPathAsKorvaneNamesIt(const DemoInstall& demo) {
    return demo.folder + "\\benchmark\\benchmark.log";
}

std::string LogUnreadableStart(const DemoInstall& demo) {
    return "The benchmark log could not be read.\n\n" + LogPathAsKorvaneNamesIt(demo) + "\n\n";
}

std::string SystemMessage(DWORD code) {
    const std::string text = ErrorText(code);
    const std::string::size_type suffix = text.rfind(" (error ");
    return suffix == std::string::npos ? text : text.substr(0, suffix);
}

bool LogHolder::Poll(std::size_t recordedStarts) {
    if (tried_ || recordedStarts < start_) {
        return Held();
    }
    tried_ = true;
    file_ = HoldFile(demo_.LogFile(), GENERIC_READ | GENERIC_WRITE, 0);
    if (!file_) {
        problem_ = "cannot hold " + demo_.LogFile() + ": " + LastErrorText();
        return false;
    }
    const std::string line = EngineLine(fps_, 99) + "\r\n";
    DWORD written = 0;
    LARGE_INTEGER end = {};
    if (!::SetFilePointerEx(file_.get(), end, nullptr, FILE_END) ||
        !::WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size()) {
        problem_ = "cannot append to " + demo_.LogFile() + ": " + LastErrorText();
    }
    return true;
}

} // namespace e2e
