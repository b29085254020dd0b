#pragma once
#include "framework/Dialog.h"
namespace app {
class MainDialog : public framework::Dialog {
public:
    MainDialog();
};
} // namespace app
