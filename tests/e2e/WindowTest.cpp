// Korvane's windows as a user meets them before any press: the registry key
// deciding between the fatal box and the main window, the main window's texts,
// defaults, focus and option groups, and the About window.
#include <algorithm>
#include <iterator>
#include <map>

#include "KorvaneFixture.h"
#include "SourceTree.h"

namespace e2e {
namespace {

// A folder text of exactly `length` characters (the folder need not exist).
std::string FolderOfLength(std::size_t length) {
    return std::string(kTestRoot) + "\\" + std::string(length - sizeof kTestRoot, 'f');
}

// The demo key's states of tests/data/e2e/demo-keys.txt.
struct KeyCase {
    std::string name;
    bool opens;
    std::string key;
    std::size_t length;
};

std::vector<KeyCase> KeyCases() {
    std::vector<KeyCase> cases;
    for (const std::vector<std::string>& row : sourcetree::ReadTable("e2e/demo-keys.txt")) {
        cases.push_back({row.at(0), row.at(1) == "opens", row.at(2), std::stoul(row.at(3))});
    }
    return cases;
}

bool ArrangeKey(const KeyCase& test, std::string* error) {
    const std::string folder = test.length ? FolderOfLength(test.length) : "";
    const std::string bytes =
        test.key == "string without zero" ? folder : std::string(folder.c_str(), folder.size() + 1);
    return demo_key::Delete(error) &&
           (test.key == "none" || (test.key == "number" && demo_key::SetFolderNumber(0x00434241, error)) ||
            (test.key == "64-bit view only" && demo_key::SetFolderIn64BitView(folder, error)) ||
            (test.key == "no folder" && demo_key::Create(error)) ||
            (Contains(test.key, "string") && demo_key::SetFolderData(REG_SZ, bytes, error)));
}

class FatalStart : public KorvaneTest, public ::testing::WithParamInterface<KeyCase> {
    void TearDown() override {
        demo_key::DeleteIn64BitView();
        KorvaneTest::TearDown();
    }
};

TEST_P(FatalStart, TheKeyDecidesBetweenTheFatalBoxAndTheMainWindow) {
    std::string error;
    ASSERT_TRUE(ArrangeKey(GetParam(), &error)) << error;
    if (GetParam().opens) {
        ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
        EXPECT_FALSE(FindMessageBox(Korvane().Id()).has_value());
        ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
        return;
    }
    ASSERT_NO_FATAL_FAILURE(StartKorvane());
    const WindowQuery mainWindow{kDialogClass, kMainCaption, true};
    bool mainSeen = false;
    std::optional<MessageBoxInfo> box;
    std::optional<DWORD> status;
    WaitUntil(
        [&] {
            mainSeen = mainSeen || FindTopLevelWindow(Korvane().Id(), mainWindow) != nullptr;
            return (box = FindMessageBox(Korvane().Id())).has_value() || !Korvane().IsRunning();
        },
        kStartTimeoutMs);
    ASSERT_TRUE(box.has_value()) << "Korvane ended without a box";
    EXPECT_EQ(box->caption, kFatalCaption);
    EXPECT_EQ(box->text, kFatalText);
    ASSERT_TRUE(CloseMessageBox(*box));
    WaitUntil(
        [&] {
            mainSeen = mainSeen || FindTopLevelWindow(Korvane().Id(), mainWindow) != nullptr;
            return (status = Korvane().WaitForExit(0)).has_value();
        },
        kWindowTimeoutMs);
    EXPECT_EQ(status, std::optional<DWORD>(0xFFFFFFFFu)) << "Korvane must end with -1 once the box is closed";
    EXPECT_FALSE(mainSeen) << "the main window became visible";
}
INSTANTIATE_TEST_SUITE_P(Window, FatalStart, ::testing::ValuesIn(KeyCases()), CaseName());

class Window : public KorvaneTest {};

// The option controls in the order of tests/data/e2e/window-options.txt, which gives
// each one's text, default and radio group.
constexpr int kOptionIds[] = {
    IDC_MAIN_OPENGL,  IDC_MAIN_DIRECT3D, IDC_MAIN_DETAIL_HIGH, IDC_MAIN_DETAIL_LOW, IDC_MAIN_RES_640,
    IDC_MAIN_RES_800, IDC_MAIN_RES_1024, IDC_MAIN_RES_1280,    IDC_MAIN_RES_1600,   IDC_MAIN_FLYBY1,
    IDC_MAIN_FLYBY2,  IDC_MAIN_FLYBY3,   IDC_MAIN_BOTMATCH1,   IDC_MAIN_BOTMATCH2,  IDC_MAIN_BOTMATCH3};

TEST_F(Window, MainWindowOpensWithItsTextsAndDefaultsAndAClickChangesOnlyItsGroup) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    EXPECT_EQ(FocusedControlId(Main()), std::optional<int>(IDCANCEL)) << "the focus is not on \"Exit\"";
    for (const auto& [id, text] : std::map<int, std::string>{
             {IDCANCEL, "Exit"}, {IDC_MAIN_BENCHMARK, "BENCHMARK NOW!"}, {IDC_MAIN_CREDITS, "Credits..."}}) {
        EXPECT_EQ(ControlText(Main(), id), std::optional<std::string>(text));
    }
    const std::vector<std::vector<std::string>> options = sourcetree::ReadTable("e2e/window-options.txt");
    ASSERT_EQ(options.size(), std::size(kOptionIds));
    std::vector<bool> expected;
    for (std::size_t i = 0; i < options.size(); ++i) {
        EXPECT_EQ(ControlText(Main(), kOptionIds[i]), std::optional<std::string>(options[i].at(0)));
        expected.push_back(options[i].at(1) == "checked");
    }
    // Each click in turn: a radio button becomes its group's only checked one; a check box toggles.
    for (std::size_t click = 0; click < options.size(); ++click) {
        const std::string& group = options[click].at(2);
        for (std::size_t i = 0; i < options.size(); ++i) {
            if (i == click) {
                expected[i] = group == "-" ? !expected[i] : true;
            } else if (options[i].at(2) == group && group != "-") {
                expected[i] = false;
            }
        }
        ASSERT_TRUE(SendClick(Main(), kOptionIds[click])) << options[click][0];
        for (std::size_t i = 0; i < options.size(); ++i) {
            EXPECT_EQ(IsChecked(Main(), kOptionIds[i]), std::optional<bool>(expected[i]))
                << options[i][0] << " after a click on " << options[click][0];
        }
    }
}

// The About window from "Credits..." and from the system menu, closed with OK, Esc
// and the close box: modal, with the version line, and the main window takes
// the input back at once.
TEST_F(Window, AboutIsModalAndEachWayOfClosingGivesTheMainWindowBackAtOnce) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    for (const bool viaSystemMenu : {false, true}) {
        for (const int closing : {IDOK, VK_ESCAPE, SC_CLOSE}) {
            SCOPED_TRACE(std::string(viaSystemMenu ? "system menu, " : "Credits, ") +
                         std::to_string(closing));
            ASSERT_TRUE(viaSystemMenu ? PostSysCommand(Main(), IDM_ABOUT)
                                      : PostClick(Main(), IDC_MAIN_CREDITS));
            HWND about = WaitForTopLevelWindow(Korvane().Id(), WindowQuery{kDialogClass, kAboutCaption, true},
                                               kWindowTimeoutMs);
            ASSERT_NE(about, nullptr) << "no About window";
            ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == about; }, kWindowTimeoutMs, 1));
            EXPECT_FALSE(::IsWindowEnabled(Main())) << "the About window must be modal";
            const std::vector<std::string> texts = ChildTexts(about, "Static");
            EXPECT_NE(std::find(texts.begin(), texts.end(), "Korvane VERSION: 1.00 Alpha1"), texts.end());
            // The dialog's keyboard handling turns Esc on any of its controls into Cancel.
            ASSERT_TRUE(closing == IDOK       ? PostClick(about, IDOK)
                        : closing == SC_CLOSE ? PostSysCommand(about, SC_CLOSE)
                                              : ::PostMessageA(::GetDlgItem(about, IDOK), WM_KEYDOWN,
                                                               VK_ESCAPE, 0x00010001) != FALSE);
            ASSERT_TRUE(WaitUntil([&] { return !IsVisible(about); }, kWindowTimeoutMs, 1))
                << "it did not close";
            const ULONGLONG gone = NowMs();
            EXPECT_TRUE(
                WaitUntil([&] { return ::IsWindowEnabled(Main()) && ::GetForegroundWindow() == Main(); },
                          kWindowTimeoutMs, 1));
            EXPECT_LE(NowMs() - gone, 100u) << "the main window took the input back late";
        }
    }
}

} // namespace
} // namespace e2e
