// The application object: one per process, constructed during static
// initialisation; WinMain hands control to its InitInstance.
#pragma once

#include <windows.h>

namespace framework {

class Application {
public:
    // `name` is the program's name, the caption of the framework's own error boxes.
    explicit Application(const char* name) noexcept;
    virtual ~Application();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs once from WinMain. The framework has no message loop of its own: the
    // program's windows run theirs (modal), and the program ends when InitInstance
    // returns, whatever it returns.
    virtual bool InitInstance() = 0;

    static Application* Instance() noexcept;
    // The module that holds the dialog templates, bitmaps, icons and strings.
    static HINSTANCE ResourceModule() noexcept;
    // The program's name; "Error" before an application object exists.
    static const char* Name() noexcept;

    // The process entry point's work: starts the process and runs the one
    // application object. The exit status of a normal end is 0.
    static int Main(HINSTANCE instance);

private:
    const char* name_;
};

// An exception that reached a window procedure: a stop box with its text, owned
// by `owner`, captioned with the program's name. Nothing may unwind through the
// system's frames, so window procedures catch and report here.
void ReportUnexpected(HWND owner, const char* what) noexcept;

} // namespace framework
