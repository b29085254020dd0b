#include "app/MainDialog.h"
#include "res/resource.h"
namespace app {
MainDialog::MainDialog() : Dialog(IDD_MAIN) {}
} // namespace app
