// The dialog framework under a real (or Wine's) Windows: an exception in a
// dialog's or a subclassed control's handler is reported in a stop box captioned
// with the application's name, and the window goes on; a modal window gives its
// owner back, enabled, when it ends; destroying a dialog object destroys its window.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/SubclassedControl.h"

namespace {

constexpr char kName[] = "Framework test";
constexpr int kDialogId = 1;
constexpr int kPictureId = 100;
constexpr UINT kThrow = WM_APP + 1;

class TestApplication : public framework::Application {
public:
    TestApplication() noexcept : Application(kName) {}
    bool InitInstance() override { return false; }
};
TestApplication theApplication;

class ThrowingControl : public framework::SubclassedControl {
protected:
    bool OnMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) override {
        if (message == kThrow) {
            throw std::runtime_error("the control failed");
        }
        return false;
    }
};

class TestDialog : public framework::Dialog {
public:
    TestDialog() noexcept : Dialog(kDialogId) {}
    ThrowingControl picture;
    bool endAtOnce = false;

protected:
    void BindControls() override { picture.Attach(Window(), kPictureId); }
    bool OnInitDialog() override {
        if (endAtOnce) {
            ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        return true;
    }
    bool OnMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) override {
        if (message == kThrow) {
            throw std::runtime_error("the dialog failed");
        }
        return false;
    }
};

std::string TextOf(HWND window) {
    char text[256] = {};
    const int length = ::GetWindowTextA(window, text, sizeof text);
    return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

// What a stop box showed, found and closed from another thread while the
// sender waits in it.
struct SeenBox {
    std::string caption;
    std::string text;
};

struct BoxSearch {
    DWORD processId = ::GetCurrentProcessId();
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<BoxSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    char className[32] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && std::string(className) == "#32770" && ::IsWindowVisible(window) &&
        TextOf(window) != "Framework dialog") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

SeenBox SendAndCloseTheBox(HWND target) {
    SeenBox seen;
    std::atomic<bool> sent{false};
    std::thread closer([&seen, &sent] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!sent && std::chrono::steady_clock::now() < until) {
            BoxSearch search;
            ::EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr) {
                seen.caption = TextOf(search.found);
                seen.text = TextOf(::GetDlgItem(search.found, 0xFFFF));
                ::PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    ::SendMessageA(target, kThrow, 0, 0);
    sent = true;
    closer.join();
    return seen;
}

TEST(FrameworkTest, AnExceptionInAHandlerIsReportedUnderTheApplicationsName) {
    struct Case {
        const char* name;
        bool inControl;
        const char* text;
    };
    for (const Case& c :
         {Case{"dialog", false, "the dialog failed"}, Case{"control", true, "the control failed"}}) {
        SCOPED_TRACE(c.name);
        TestDialog dialog;
        ASSERT_TRUE(dialog.Create());
        HWND target = c.inControl ? dialog.Item(kPictureId) : dialog.Window();
        const SeenBox seen = SendAndCloseTheBox(target);
        EXPECT_EQ(seen.caption, kName);
        EXPECT_EQ(seen.text, c.text);
        EXPECT_TRUE(::IsWindow(target)) << "the window goes on after the report";
    }
}

TEST(FrameworkTest, DestroyingTheObjectDestroysItsWindow) {
    HWND window = nullptr;
    HWND picture = nullptr;
    {
        TestDialog dialog;
        ASSERT_TRUE(dialog.Create());
        window = dialog.Window();
        picture = dialog.picture.Window();
        ASSERT_TRUE(::IsWindow(window));
        ASSERT_EQ(picture, ::GetDlgItem(window, kPictureId));
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(::IsWindow(picture));
}

TEST(FrameworkTest, AModalWindowGivesItsOwnerBackEnabled) {
    TestDialog owner;
    ASSERT_TRUE(owner.Create());
    owner.Show(SW_SHOWNORMAL);
    TestDialog modal;
    modal.endAtOnce = true;
    EXPECT_EQ(modal.DoModal(owner.Window()), IDOK);
    EXPECT_TRUE(::IsWindowEnabled(owner.Window()));
    EXPECT_EQ(modal.Window(), nullptr) << "the modal window is gone";
}

} // namespace
