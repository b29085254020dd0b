// Files of the tests: folders made fresh and removed again, a stand-in demo
// installation (the stand-in game as System\UT2003.exe, Benchmark\Stuff), the
// stand-in's settings file, the record it keeps of its starts, and the benchmark log.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "driver/Handles.h"

namespace driver {

// Where every test keeps its files: C:\korvane-e2e\<test>\.
constexpr char kTestRoot[] = "C:\\korvane-e2e";

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Creates `path` and every missing folder above it.
bool MakeFolders(const std::string& path);
// Deletes `path` and everything in it, retrying for a while when a file is still
// in use (a program that was just ended). True when nothing is left.
bool DeleteTree(const std::string& path);
bool WriteTextFile(const std::string& path, const std::string& text);
// The file's bytes unchanged (CR LF stays CR LF).
std::optional<std::string> ReadTextFile(const std::string& path);
bool CopyFileTo(const std::string& from, const std::string& to);
// Opens an existing file with `access` and `shareMode` (CreateFile's flags), as
// another program that holds it open does; empty when it cannot be opened.
KernelHandle HoldFile(const std::string& path, DWORD access, DWORD shareMode);
bool DeleteFileAt(const std::string& path);

// The stand-in's settings file, its start record and the log, as they sit in an
// installation in `folder` (the value the registry's "Folder" names).
struct DemoInstall {
    std::string folder;

    std::string SystemFolder() const; // folder\System
    std::string Executable() const;   // folder\System\UT2003.exe
    std::string StuffFolder() const;  // folder\Benchmark\Stuff
    std::string SettingsFile() const; // folder\System\standin-settings.ini
    std::string RecordFile() const;   // folder\System\standin-record.txt
    std::string LogFile() const;      // folder\Benchmark\benchmark.log
};

// Makes the folders of an installation in `folder` and, unless `gameExecutable`
// is empty, copies it there as System\UT2003.exe. Nothing on failure, with the
// reason in `error`.
std::optional<DemoInstall> MakeDemoInstall(const std::string& folder, const std::string& gameExecutable,
                                           std::string* error);

// Writes the stand-in's settings file (sections [all], [flyby <map>],
// [botmatch <map>], [start <n>] with keys such as fps=, seconds=, fault=).
bool WriteStandInSettings(const DemoInstall& install, const std::string& text);

// One start of the stand-in as it recorded it:
// start|<priority class, 8 hex digits>|<current directory>|<command line>.
struct GameStart {
    std::string priorityClass;
    std::string currentDirectory;
    std::string commandLine;
};
// Every recorded start, oldest first; an empty list when there is no record.
// Nothing when the record exists but a line is not in the record's shape.
std::optional<std::vector<GameStart>> ReadGameStarts(const DemoInstall& install);

// The log's lines without their line ends; an empty list when there is no log.
std::vector<std::string> ReadLogLines(const DemoInstall& install);
bool DeleteLog(const DemoInstall& install);

} // namespace driver
