// The application object: shows the main window modally; the program ends with it.
#pragma once

#include "framework/Application.h"

namespace app {

class BenchApp : public framework::Application {
public:
    bool InitInstance() override;
};

} // namespace app
