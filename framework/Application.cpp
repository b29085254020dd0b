// The application object and the process entry point.
#include "framework/Application.h"

#include <commctrl.h>

#include "framework/ProcessStart.h"

namespace framework {

namespace {
Application* theApplication = nullptr;
HINSTANCE theModule = nullptr;
} // namespace

Application::Application(const char* name) noexcept : name_(name) {
    theApplication = this;
}

Application::~Application() {
    if (theApplication == this) {
        theApplication = nullptr;
    }
}

Application* Application::Instance() noexcept {
    return theApplication;
}

HINSTANCE Application::ResourceModule() noexcept {
    return theModule != nullptr ? theModule : ::GetModuleHandleA(nullptr);
}

const char* Application::Name() noexcept {
    return theApplication != nullptr && theApplication->name_ != nullptr ? theApplication->name_ : "Error";
}

int Application::Main(HINSTANCE instance) {
    StartProcess();
    theModule = instance;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    Application* application = Instance();
    if (application == nullptr) {
        return -1;
    }
    application->InitInstance();
    return 0;
}

void ReportUnexpected(HWND owner, const char* what) noexcept {
    ::MessageBoxA(owner, what, Application::Name(), MB_OK | MB_ICONSTOP);
}

} // namespace framework
