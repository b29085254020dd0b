// The process entry point; compiled into each program so the linker always finds it.
#include "framework/Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    return framework::Application::Main(instance);
}
