// The application object: one per process, constructed during static
// initialisation; WinMain hands control to its InitInstance.
#pragma once

#include <windows.h>

namespace framework {

class Application {
public:
    Application() noexcept;
    virtual ~Application();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs once from WinMain. Returning false ends the program without a message loop.
    virtual bool InitInstance() = 0;
    // The exit status of a normal end.
    virtual int ExitInstance() { return 0; }

    // The main window, for message boxes that have no window of their own.
    void SetMainWindow(HWND window) noexcept { mainWindow_ = window; }
    HWND MainWindow() const noexcept { return mainWindow_; }

    static Application* Instance() noexcept;
    // The module that holds the dialog templates, bitmaps, icons and strings.
    static HINSTANCE ResourceModule() noexcept;

    // The process entry point's work: runs the one application object.
    static int Main(HINSTANCE instance);

private:
    int Run(HINSTANCE instance);

    HWND mainWindow_ = nullptr;
};

} // namespace framework
