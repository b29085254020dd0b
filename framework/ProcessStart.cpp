// The crash filter and the x87 precision, set once at start.
#include "framework/ProcessStart.h"

#include <windows.h>

#include <float.h>

namespace framework {

namespace {
LONG WINAPI EndOnUnhandledException(EXCEPTION_POINTERS* /*exception*/) {
    ::ExitProcess(0xC0000409u);
}
} // namespace

void StartProcess() noexcept {
    ::SetUnhandledExceptionFilter(&EndOnUnhandledException);
#if defined(__i386__)
    _controlfp(_PC_53, _MCW_PC);
#endif
}

} // namespace framework
