// The application object, and the process-wide objects that start-up creates.
#pragma once

#include "framework/Application.h"
#include "ui/ResultDialog.h"

namespace app {

// Shows the main window modally; the program ends when it closes.
class BenchApp : public framework::Application {
public:
    BenchApp() noexcept : Application("Korvane") {}
    bool InitInstance() override;
};

// The one result window object; its window is created by the main window.
extern ui::ResultDialog theResultDialog;

} // namespace app
