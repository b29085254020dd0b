// The application object and the process entry point.
#include "framework/Application.h"

#include <commctrl.h>

#include <float.h>

namespace framework {

namespace {
Application* theApplication = nullptr;
HINSTANCE theModule = nullptr;

// A crash must end the process with a failure status, never hang on a dialog.
LONG WINAPI EndOnUnhandledException(EXCEPTION_POINTERS* /*exception*/) {
    ::ExitProcess(0xC0000409u);
}
} // namespace

Application::Application() noexcept {
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

int Application::Main(HINSTANCE instance) {
    ::SetUnhandledExceptionFilter(&EndOnUnhandledException);
#if defined(__i386__)
    // Double arithmetic rounds to 53 bits, as on every other Windows compiler.
    _controlfp(_PC_53, _MCW_PC);
#endif
    Application* application = Instance();
    return application != nullptr ? application->Run(instance) : -1;
}

int Application::Run(HINSTANCE instance) {
    theModule = instance;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    if (!InitInstance()) {
        return ExitInstance();
    }
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return ExitInstance();
}

} // namespace framework
