// Loading a system DLL from the system folder only, never from the program's
// folder or the current directory. Windows only.
#pragma once

#include "framework/Handles.h"

namespace sysinfo {

// Where AddDllDirectory exists, LoadLibraryExA with LOAD_LIBRARY_SEARCH_SYSTEM32;
// otherwise (XP, Vista and 7 without the loader update) the full path in the
// system folder with LOAD_WITH_ALTERED_SEARCH_PATH. Empty when it cannot be loaded.
framework::UniqueModule LoadFromSystemFolder(const char* dllName);

// The second way alone: the full path in the system folder, with
// LOAD_WITH_ALTERED_SEARCH_PATH so that the DLL's own imports are looked for
// beside it first.
framework::UniqueModule LoadByFullSystemPath(const char* dllName);

} // namespace sysinfo
