// The application object and its start-up.
#include "app/BenchApp.h"

#include "app/MainDialog.h"

namespace app {

bool BenchApp::InitInstance() {
    MainDialog mainDialog;
    mainDialog.DoModal();
    return false;
}

} // namespace app

// The one application object.
app::BenchApp theApp;
