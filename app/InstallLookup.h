// The game installation lookup: reads the demo's folder from the registry and
// sets the install paths, or shows the fatal message and ends the process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "bench/BenchmarkRun.h"

namespace app {

// The demo installer's key, in the 32-bit view of HKEY_LOCAL_MACHINE.
constexpr char kDemoRegistryKey[] = "SOFTWARE\\UNREAL TECHNOLOGY\\INSTALLED APPS\\UT2003DEMO";
constexpr char kDemoFolderValue[] = "Folder";

constexpr char kFatalText[] =
    "Fatal Error: cannot find the UT2003 demo registry key. Make sure that UT2003 demo "
    "is installed in your system. The application will now exit";
constexpr char kFatalCaption[] = "Korvane Fatal Error";

// The demo's folder as the registry holds it; nothing when the demo is not
// installed (FolderFromQuery says what counts).
std::optional<std::string> ReadDemoFolder();

// Sets GameInstall(). When the demo is not installed it shows the fatal message
// owned by `owner` and ends the process with status -1; it then never returns.
void LookUpGameInstallation(HWND owner);

// GameInstall() as the shared run takes it: the executable, the system folder it
// runs in and the installation folder that holds the benchmark log.
bench::GamePlaces InstalledGamePlaces();

} // namespace app
