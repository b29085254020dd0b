// Korvane's windows as a user meets them before any press: the registry key
// deciding between the fatal box and the main window, the main window's texts,
// defaults, focus and option groups, and the About window.
#include <algorithm>
#include <map>

#include "KorvaneFixture.h"

namespace e2e {
namespace {

// A folder text of exactly `length` characters (the folder need not exist).
std::string FolderOfLength(std::size_t length) {
    return std::string(kTestRoot) + "\\" + std::string(length - sizeof kTestRoot, 'f');
}

// The demo key's state: no key, a key without "Folder", or "Folder" as `type`
// holding a folder text of `length` characters, with its zero unless `noZero`.
// (Which sizes and types make a folder is the unit tests' table; here each way
// the system's answer can go.)
struct KeyCase {
    const char* name;
    bool opens; // the main window opens; otherwise the fatal box, then status -1
    DWORD type;
    std::size_t length;
    bool noZero = false;
    bool only64BitView = false;
};
const KeyCase kKeyCases[] = {
    {"NoKey", false, REG_NONE, 0},
    {"KeyWithoutFolder", false, REG_SZ, 0},
    // The number's bytes read "ABC" and a zero: a lookup that ignored the type would find a folder.
    {"FolderIsNumber", false, REG_DWORD, 0},
    // Without its terminating zero, 100 characters fill the whole buffer and the query succeeds.
    {"FolderOf100WithoutZero", false, REG_SZ, 100, true},
    {"FolderOf99Characters", true, REG_SZ, 99},
    // The 32-bit demo's key lives in the 32-bit view, whichever build of Korvane looks.
    {"KeyOnlyInThe64BitView", false, REG_SZ, 40, false, true},
};

bool ArrangeKey(const KeyCase& key, std::string* error) {
    const std::string folder = key.length ? FolderOfLength(key.length) : "";
    const std::string bytes = key.noZero ? folder : std::string(folder.c_str(), folder.size() + 1);
    return demo_key::Delete(error) &&
           (key.type == REG_NONE || (key.type == REG_DWORD && demo_key::SetFolderNumber(0x00434241, error)) ||
            (key.only64BitView && demo_key::SetFolderIn64BitView(folder, error)) ||
            (key.length == 0 && key.type == REG_SZ && demo_key::Create(error)) ||
            (key.length > 0 && !key.only64BitView && demo_key::SetFolderData(key.type, bytes, error)));
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
INSTANTIATE_TEST_SUITE_P(Window, FatalStart, ::testing::ValuesIn(kKeyCases), CaseName());

class Window : public KorvaneTest {};

// Every option control: its text and whether the window opens with it checked.
struct OptionControl {
    int id;
    const char* text;
    bool checked;
    int group; // radio group (0: renderer, 1: detail, 2: resolution); -1: a check box
};
const OptionControl kOptions[] = {
    // clang-format off
    {IDC_MAIN_OPENGL, "OpenGL ICD", false, 0}, {IDC_MAIN_DIRECT3D, "Direct3D 8.1", true, 0},
    {IDC_MAIN_DETAIL_HIGH, "High", true, 1}, {IDC_MAIN_DETAIL_LOW, "Low", false, 1},
    {IDC_MAIN_RES_640, "640x480", false, 2}, {IDC_MAIN_RES_800, "800x600", false, 2},
    {IDC_MAIN_RES_1024, "1024x768", true, 2}, {IDC_MAIN_RES_1280, "1280x1024", false, 2},
    {IDC_MAIN_RES_1600, "1600x1200", false, 2}, {IDC_MAIN_FLYBY1, "Flyby 1 - DM-Antalus", true, -1},
    {IDC_MAIN_FLYBY2, "Flyby 2 - DM-Asbestos", true, -1},
    {IDC_MAIN_FLYBY3, "Flyby 3 - CTF-Citadel", true, -1},
    {IDC_MAIN_BOTMATCH1, "Botmatch1 - DM-Antalus", true, -1},
    {IDC_MAIN_BOTMATCH2, "Botmatch2 - DM-Asbestos", true, -1},
    {IDC_MAIN_BOTMATCH3, "Botmatch3 - CTF-Citadel", true, -1},
    // clang-format on
};

TEST_F(Window, MainWindowOpensWithItsTextsAndDefaultsAndAClickChangesOnlyItsGroup) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    EXPECT_EQ(FocusedControlId(Main()), std::optional<int>(IDCANCEL)) << "the focus is not on \"Exit\"";
    for (const auto& [id, text] : std::map<int, std::string>{
             {IDCANCEL, "Exit"}, {IDC_MAIN_BENCHMARK, "BENCHMARK NOW!"}, {IDC_MAIN_CREDITS, "Credits..."}}) {
        EXPECT_EQ(ControlText(Main(), id), std::optional<std::string>(text));
    }
    std::map<int, bool> expected;
    for (const OptionControl& option : kOptions) {
        EXPECT_EQ(ControlText(Main(), option.id), std::optional<std::string>(option.text));
        expected[option.id] = option.checked;
    }
    // Each click in turn: a radio button becomes its group's only checked one; a check box toggles.
    for (const OptionControl& click : kOptions) {
        for (const OptionControl& option : kOptions) {
            if (option.id == click.id) {
                expected[option.id] = click.group < 0 ? !expected[option.id] : true;
            } else if (option.group == click.group && click.group >= 0) {
                expected[option.id] = false;
            }
        }
        ASSERT_TRUE(SendClick(Main(), click.id)) << click.text;
        for (const OptionControl& option : kOptions) {
            EXPECT_EQ(IsChecked(Main(), option.id), std::optional<bool>(expected[option.id]))
                << option.text << " after a click on " << click.text;
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
            if (closing == IDOK) {
                ASSERT_TRUE(PostClick(about, IDOK));
            } else if (closing == SC_CLOSE) {
                ASSERT_TRUE(PostSysCommand(about, SC_CLOSE));
            } else {
                // The dialog's keyboard handling turns Esc on any of its controls into Cancel.
                ASSERT_TRUE(::PostMessageA(::GetDlgItem(about, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001));
            }
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
