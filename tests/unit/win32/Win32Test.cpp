// What only a real (or Wine's) Windows can show: the dialog framework's report of
// an exception in a handler; and the entry point of this program, which korvane-
// cli's tests (CliRunTest.cpp) also start as a "game": started with --game
// PIDFILE it starts one more copy of itself (--sleep), writes that copy's process
// id to PIDFILE and sleeps.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "TestProgram.h"
#include "driver/Files.h"
#include "driver/Ui.h"
#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/SubclassedControl.h"

std::string OwnPath() {
    char path[MAX_PATH] = {};
    return std::string(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
}

namespace {

int RunAsGame(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--sleep") == 0) {
        ::Sleep(INFINITE);
    }
    if (argc != 3 || std::strcmp(argv[1], "--game") != 0) {
        return -1;
    }
    // Started plainly: the launcher's job, when there is one, is all that may end it.
    std::string commandLine = "\"" + OwnPath() + "\" --sleep";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        return 2;
    }
    const framework::UniqueHandle thread(started.hThread), process(started.hProcess);
    driver::WriteTextFile(argv[2], std::to_string(started.dwProcessId));
    ::Sleep(INFINITE);
    return 0;
}

constexpr char kName[] = "Framework test";
constexpr UINT kThrow = WM_APP + 1;

class TestApplication : public framework::Application {
public:
    TestApplication() noexcept : Application(kName) {}
    bool InitInstance() override { return false; }
};
TestApplication theApplication;

class ThrowingControl : public framework::SubclassedControl {
protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        return message == kThrow ? throw std::runtime_error("the control failed") : false;
    }
};

class TestDialog : public framework::Dialog {
public:
    TestDialog() noexcept : Dialog(1) {}
    ThrowingControl picture;

protected:
    void BindControls() override { picture.Attach(Window(), 100); }
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        return message == kThrow ? throw std::runtime_error("the dialog failed") : false;
    }
};

// The caption and text of the stop box that sending kThrow to `target` shows,
// read and closed from another thread while the sender waits in it.
std::string SendAndCloseTheBox(HWND target) {
    std::string seen;
    std::thread closer([&seen] {
        if (const auto box = driver::WaitForMessageBox(::GetCurrentProcessId(), 10000)) {
            seen = box->caption + ": " + box->text;
            driver::CloseMessageBox(*box);
        }
    });
    ::SendMessageA(target, kThrow, 0, 0);
    closer.join();
    return seen;
}

TEST(FrameworkTest, AnExceptionInAHandlerIsReportedUnderTheApplicationsNameAndTheWindowGoesOn) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(SendAndCloseTheBox(dialog.Window()), "Framework test: the dialog failed");
    EXPECT_EQ(SendAndCloseTheBox(dialog.Item(100)), "Framework test: the control failed");
    EXPECT_TRUE(::IsWindow(dialog.Item(100)));
}

} // namespace

int main(int argc, char** argv) {
    const int asGame = RunAsGame(argc, argv);
    if (asGame >= 0) {
        return asGame;
    }
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
