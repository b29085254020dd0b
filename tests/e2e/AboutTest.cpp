// The About window, opened from "Credits..." and from the system menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "KorvaneFixture.h"
#include "driver/Timing.h"
#include "res/resource.h"

namespace e2e {
namespace {

constexpr char kVersionLine[] = "Korvane VERSION: 1.00 Alpha1";

struct OpenCase {
    const char* name;
    bool viaSystemMenu; // the system menu's About item, otherwise "Credits..."
};

const OpenCase kOpenCases[] = {{"Credits", false}, {"SystemMenu", true}};

// The ways a user closes it: its OK button, Esc, and the close box.
enum class Closing { OkButton, Escape, CloseBox };
struct CloseCase {
    const char* name;
    Closing how;
};
const CloseCase kCloseCases[] = {
    {"OK", Closing::OkButton}, {"Esc", Closing::Escape}, {"CloseBox", Closing::CloseBox}};

// How soon the main window must take the input again once the About window is gone.
constexpr ULONGLONG kGiveBackMs = 100;

class About : public KorvaneTest {
protected:
    // Opens the About window the given way and returns it, visible; null if it did not show.
    HWND OpenAbout(bool viaSystemMenu) {
        if (viaSystemMenu) {
            EXPECT_TRUE(PostSysCommand(Main(), IDM_ABOUT));
        } else {
            EXPECT_TRUE(PostClick(Main(), IDC_MAIN_CREDITS));
        }
        WindowQuery query;
        query.caption = kAboutCaption;
        return WaitForTopLevelWindow(Korvane().Id(), query, kWindowTimeoutMs);
    }

    // Closes it as a user would and checks that the main window is enabled and
    // active again at once: within kGiveBackMs of the About window going.
    void CloseAbout(HWND about, Closing how = Closing::OkButton) {
        switch (how) {
        case Closing::OkButton:
            ASSERT_TRUE(PostClick(about, IDOK));
            break;
        case Closing::Escape:
            // The dialog's own keyboard handling turns Esc on any of its controls into Cancel.
            ASSERT_TRUE(::PostMessageA(::GetDlgItem(about, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001) !=
                        FALSE);
            break;
        case Closing::CloseBox:
            ASSERT_TRUE(PostSysCommand(about, SC_CLOSE));
            break;
        }
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(about) || !IsVisible(about); }, kWindowTimeoutMs, 1))
            << "the About window did not close";
        const ULONGLONG gone = NowMs();
        const bool givenBack =
            WaitUntil([&] { return ::IsWindowEnabled(Main()) != FALSE && ::GetForegroundWindow() == Main(); },
                      kWindowTimeoutMs, 1);
        const ULONGLONG tookMs = NowMs() - gone;
        EXPECT_TRUE(givenBack) << "the main window is not enabled and active after the About window closed";
        EXPECT_LE(tookMs, kGiveBackMs)
            << "the main window took the input back only after " << tookMs << " ms";
        EXPECT_TRUE(IsResponsive(Main()));
    }
};

class AboutOpening : public About, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(AboutOpening, ShowsVersionModallyAndCloses) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    HWND about = OpenAbout(GetParam().viaSystemMenu);
    ASSERT_NE(about, nullptr) << "no visible \"" << kAboutCaption << "\" window";
    const std::vector<std::string> texts = ChildTexts(about, "Static");
    EXPECT_NE(std::find(texts.begin(), texts.end(), kVersionLine), texts.end())
        << "no static reads \"" << kVersionLine << "\"";
    EXPECT_FALSE(::IsWindowEnabled(Main())) << "the About window must be modal";
    ASSERT_NO_FATAL_FAILURE(CloseAbout(about));
}

// Every way of closing, from either way of opening, gives the input back at once.
TEST_P(AboutOpening, EachWayOfClosingGivesTheMainWindowBackAtOnce) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    for (const CloseCase& closing : kCloseCases) {
        SCOPED_TRACE(closing.name);
        HWND about = OpenAbout(GetParam().viaSystemMenu);
        ASSERT_NE(about, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == about; }, kWindowTimeoutMs, 1))
            << "the About window never became active";
        ASSERT_NO_FATAL_FAILURE(CloseAbout(about, closing.how));
    }
}

INSTANTIATE_TEST_SUITE_P(About, AboutOpening, ::testing::ValuesIn(kOpenCases), CaseName());

TEST_F(About, BothWaysOpenTheSameWindow) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    std::vector<std::vector<std::string>> seen;
    for (const OpenCase& opening : kOpenCases) {
        SCOPED_TRACE(opening.name);
        HWND about = OpenAbout(opening.viaSystemMenu);
        ASSERT_NE(about, nullptr);
        std::vector<std::string> texts = ChildTexts(about, "Static");
        const std::vector<std::string> buttons = ChildTexts(about, "Button");
        texts.insert(texts.end(), buttons.begin(), buttons.end());
        seen.push_back(texts);
        ASSERT_NO_FATAL_FAILURE(CloseAbout(about));
    }
    EXPECT_EQ(seen[0], seen[1]);
}

} // namespace
} // namespace e2e
