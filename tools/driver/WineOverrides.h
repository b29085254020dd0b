// Wine's choice of a DLL for one program: which d3d8.dll a program gets is set in
// HKCU\Software\Wine\AppDefaults\<program file name>\DllOverrides. (WINEDLLOVERRIDES
// in the environment a Windows program hands to CreateProcess does not reach the
// new program's loader: Wine reads it from the Unix environment only.)
#pragma once

#include <string>

namespace driver {

// Sets the load order of `dll` (for example "d3d8") for programs named
// `programName` (for example "korvane-planted.exe") while the object lives:
// "native,builtin" takes a DLL found on the search path before Wine's own, ""
// disables the DLL. The destructor deletes the program's AppDefaults key again.
class WineDllOverride {
public:
    WineDllOverride(std::string programName, const std::string& dll, const std::string& loadOrder);
    ~WineDllOverride();
    WineDllOverride(const WineDllOverride&) = delete;
    WineDllOverride& operator=(const WineDllOverride&) = delete;

    bool IsSet() const noexcept { return problem_.empty(); }
    const std::string& Problem() const noexcept { return problem_; }

private:
    std::string programName_;
    std::string problem_;
};

} // namespace driver
