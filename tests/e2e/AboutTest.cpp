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

    // Closes it with its OK button's command and checks the main window takes input again.
    void CloseAbout(HWND about) {
        ASSERT_TRUE(PostCommand(about, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about) || !IsVisible(about); }, kWindowTimeoutMs));
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(Main()) != FALSE; }, kWindowTimeoutMs))
            << "the main window stays disabled after the About window closed";
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
