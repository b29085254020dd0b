// Entry point of the unit tests. Under Wine a crashed Windows program can end
// with status 0, so a crash must end the process with a failure code instead.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>

#include <float.h>

namespace {
LONG WINAPI FailOnCrash(EXCEPTION_POINTERS* exception) {
    std::fprintf(stderr, "crash: exception 0x%08lx\n",
                 static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
    std::fflush(stderr);
    ::ExitProcess(3);
}
} // namespace
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
    ::SetUnhandledExceptionFilter(&FailOnCrash);
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
#endif
#if defined(_WIN32) && defined(__i386__)
    // As the program does: double arithmetic rounds to 53 bits on the x87 unit.
    _controlfp(_PC_53, _MCW_PC);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
