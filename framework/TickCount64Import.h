// The stand-in for GetTickCount64 on systems without it (TickCount64Import.cpp).
#pragma once

#include <windows.h>

namespace framework {

// Milliseconds from the performance counter: what a call through the program's
// GetTickCount64 import returns where kernel32 has no GetTickCount64.
ULONGLONG WINAPI TickCount64FromCounter();

} // namespace framework
