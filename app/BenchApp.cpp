// The application object, its start-up, and the process-wide objects, which are
// constructed in the order they stand here and destroyed in reverse.
#include "app/BenchApp.h"

#include "app/MainDialog.h"

namespace app {

bool BenchApp::InitInstance() {
    MainDialog mainDialog;
    mainDialog.DoModal();
    return false;
}

BenchApp theApp;
ui::ResultDialog theResultDialog;

} // namespace app
