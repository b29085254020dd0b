// Test folders, the stand-in installation and the stand-in's files.
#include "driver/Files.h"

#include <windows.h>

#include "driver/Handles.h"
#include "driver/Paths.h"
#include "driver/SystemText.h"
#include "driver/Timing.h"

namespace driver {

namespace {

constexpr DWORD kDeleteRetryMs = 5000;

DWORD Attributes(const std::string& path) {
    return ::GetFileAttributesA(path.c_str());
}

bool DeleteTreeOnce(const std::string& path) {
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return ::DeleteFileA(path.c_str()) != FALSE;
    }
    WIN32_FIND_DATAA found = {};
    bool allGone = true;
    {
        FindHandle search(::FindFirstFileA(JoinPath(path, "*").c_str(), &found));
        if (search) {
            do {
                const std::string name = found.cFileName;
                if (name != "." && name != "..") {
                    allGone = DeleteTreeOnce(JoinPath(path, name)) && allGone;
                }
            } while (::FindNextFileA(search.get(), &found));
        }
    }
    return ::RemoveDirectoryA(path.c_str()) != FALSE && allGone;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace

bool FileExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolders(const std::string& path) {
    if (path.empty() || FolderExists(path)) {
        return true;
    }
    const std::string parent = ParentFolder(path);
    // "C:" has no parent to make.
    if (!parent.empty() && parent.back() != ':' && !MakeFolders(parent)) {
        return false;
    }
    return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE || FolderExists(path);
}

bool DeleteTree(const std::string& path) {
    return WaitUntil([&] { return DeleteTreeOnce(path); }, kDeleteRetryMs, 100);
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    KernelHandle file;
    HANDLE opened =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return false;
    }
    file.reset(opened);
    DWORD written = 0;
    return ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

std::optional<std::string> ReadTextFile(const std::string& path) {
    KernelHandle file;
    // Shared for deleting too: a program that replaces the file by renaming another over it is not held up.
    HANDLE opened =
        ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    file.reset(opened);
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    return text;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

KernelHandle HoldFile(const std::string& path, DWORD access, DWORD shareMode) {
    const HANDLE opened = ::CreateFileA(path.c_str(), access, shareMode, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return KernelHandle(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
}

bool DeleteFileAt(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != FALSE || !FileExists(path);
}

std::string DemoInstall::SystemFolder() const {
    return JoinPath(folder, "System");
}
std::string DemoInstall::Executable() const {
    return JoinPath(SystemFolder(), "UT2003.exe");
}
std::string DemoInstall::StuffFolder() const {
    return JoinPath(folder, "Benchmark\\Stuff");
}
std::string DemoInstall::SettingsFile() const {
    return JoinPath(SystemFolder(), "standin-settings.ini");
}
std::string DemoInstall::RecordFile() const {
    return JoinPath(SystemFolder(), "standin-record.txt");
}
std::string DemoInstall::LogFile() const {
    return JoinPath(folder, "Benchmark\\benchmark.log");
}

std::optional<DemoInstall> MakeDemoInstall(const std::string& folder, const std::string& gameExecutable,
                                           std::string* error) {
    DemoInstall install{folder};
    if (!MakeFolders(install.SystemFolder()) || !MakeFolders(install.StuffFolder())) {
        if (error != nullptr) {
            *error = "cannot make the folders of " + folder + ": " + LastErrorText();
        }
        return std::nullopt;
    }
    if (!gameExecutable.empty() && !CopyFileTo(gameExecutable, install.Executable())) {
        if (error != nullptr) {
            *error = "cannot copy " + gameExecutable + " to " + install.Executable() + ": " + LastErrorText();
        }
        return std::nullopt;
    }
    return install;
}

bool WriteStandInSettings(const DemoInstall& install, const std::string& text) {
    return WriteTextFile(install.SettingsFile(), text);
}

std::optional<std::vector<GameStart>> ReadGameStarts(const DemoInstall& install) {
    std::vector<GameStart> starts;
    const std::optional<std::string> text = ReadTextFile(install.RecordFile());
    if (!text) {
        return starts;
    }
    if (!text->empty() && text->back() != '\n') {
        return std::nullopt; // a line still being written
    }
    for (const std::string& line : SplitLines(*text)) {
        const std::string::size_type first = line.find('|');
        const std::string::size_type second = first == std::string::npos ? first : line.find('|', first + 1);
        const std::string::size_type third =
            second == std::string::npos ? second : line.find('|', second + 1);
        if (third == std::string::npos || line.compare(0, first, "start") != 0) {
            return std::nullopt;
        }
        starts.push_back({line.substr(first + 1, second - first - 1),
                          line.substr(second + 1, third - second - 1), line.substr(third + 1)});
    }
    return starts;
}

std::vector<std::string> ReadLogLines(const DemoInstall& install) {
    const std::optional<std::string> text = ReadTextFile(install.LogFile());
    return text ? SplitLines(*text) : std::vector<std::string>();
}

bool DeleteLog(const DemoInstall& install) {
    return DeleteFileAt(install.LogFile());
}

} // namespace driver
