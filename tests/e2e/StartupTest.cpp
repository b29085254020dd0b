// Start-up as a user meets it: the demo's registry key decides between the fatal
// message and the main window, and the main window opens with its defaults.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "GameLines.h"
#include "KorvaneFixture.h"
#include "driver/Paths.h"
#include "driver/Timing.h"
#include "bench/BenchOptions.h"
#include "res/resource.h"

namespace e2e {
namespace {

constexpr char kFatalText[] =
    "Fatal Error: cannot find the UT2003 demo registry key. Make sure that UT2003 demo is "
    "installed in your system. The application will now exit";

// A folder text of exactly `length` characters (the folder need not exist).
std::string FolderOfLength(std::size_t length) {
    std::string folder = std::string(kTestRoot) + "\\";
    folder.append(length - folder.size(), 'f');
    return folder;
}

struct FatalCase {
    const char* name;
    std::function<bool(std::string*)> arrangeKey;
    std::function<bool(std::string*)> cleanUp = {}; // what arrangeKey made outside the demo key
};

const FatalCase kFatalCases[] = {
    {"NoKey",
     [](std::string* error) {
         return demo_key::Delete(error);
     }},
    {"KeyWithoutFolder",
     [](std::string* error) {
         return demo_key::Delete(error) && demo_key::Create(error);
     }},
    // The number's bytes read "ABC" and a zero: a lookup that ignored the type
    // would find a folder.
    {"FolderIsNumber",
     [](std::string* error) {
         return demo_key::Delete(error) && demo_key::SetFolderNumber(0x00434241, error);
     }},
    {"FolderOf100Characters",
     [](std::string* error) {
         return demo_key::Delete(error) && demo_key::SetFolder(FolderOfLength(100), error);
     }},
    // Stored without its terminating zero, 100 characters fill the whole buffer
    // and the query succeeds: the text still does not fit.
    {"FolderOf100CharactersWithoutTerminator",
     [](std::string* error) {
         return demo_key::Delete(error) && demo_key::SetFolderData(REG_SZ, FolderOfLength(100), error);
     }},
    {"FolderOf250Characters",
     [](std::string* error) {
         return demo_key::Delete(error) && demo_key::SetFolder(FolderOfLength(250), error);
     }},
    // A folder's text with its zero, but as bytes rather than a string.
    {"FolderIsBinary",
     [](std::string* error) {
         const std::string folder = FolderOfLength(40);
         return demo_key::Delete(error) &&
                demo_key::SetFolderData(REG_BINARY, std::string(folder.c_str(), folder.size() + 1), error);
     }},
    // The 32-bit demo's key lives in the 32-bit view: one in the 64-bit view only
    // is no installation, whichever build of Korvane looks.
    {"KeyOnlyInThe64BitView",
     [](std::string* error) {
         return demo_key::Delete(error) && demo_key::SetFolderIn64BitView(FolderOfLength(40), error);
     },
     [](std::string* error) {
         return demo_key::DeleteIn64BitView(error);
     }},
};

class FatalStart : public KorvaneTest, public ::testing::WithParamInterface<FatalCase> {};

TEST_P(FatalStart, ShowsFatalBoxThenExitsWithMinusOne) {
    std::string error;
    struct CleanUp {
        const FatalCase& c;
        ~CleanUp() {
            std::string problem;
            if (c.cleanUp && !c.cleanUp(&problem)) {
                ADD_FAILURE() << problem;
            }
        }
    } cleanUp{GetParam()};
    ASSERT_TRUE(GetParam().arrangeKey(&error)) << error;
    ASSERT_NO_FATAL_FAILURE(StartKorvane());

    WindowQuery mainWindow;
    mainWindow.caption = kMainCaption;
    bool mainWindowSeen = false;
    std::optional<MessageBoxInfo> box;
    WaitUntil(
        [&] {
            mainWindowSeen = mainWindowSeen || FindTopLevelWindow(Korvane().Id(), mainWindow) != nullptr;
            box = FindMessageBox(Korvane().Id());
            return box.has_value() || !Korvane().IsRunning();
        },
        kStartTimeoutMs);
    ASSERT_TRUE(box.has_value()) << (Korvane().IsRunning() ? "no message box"
                                                           : "Korvane ended without a box");
    EXPECT_EQ(box->caption, kFatalCaption);
    EXPECT_EQ(box->text, kFatalText);
    EXPECT_TRUE(Korvane().IsRunning()) << "Korvane must wait for the box to be closed";

    ASSERT_TRUE(CloseMessageBox(*box));
    std::optional<DWORD> exitCode;
    WaitUntil(
        [&] {
            mainWindowSeen = mainWindowSeen || FindTopLevelWindow(Korvane().Id(), mainWindow) != nullptr;
            exitCode = Korvane().WaitForExit(0);
            return exitCode.has_value();
        },
        kExitTimeoutMs);
    ASSERT_TRUE(exitCode.has_value()) << "Korvane did not end after the box was closed";
    EXPECT_EQ(*exitCode, 0xFFFFFFFFu);
    EXPECT_FALSE(mainWindowSeen) << "the main window became visible";
}

INSTANTIATE_TEST_SUITE_P(Startup, FatalStart, ::testing::ValuesIn(kFatalCases), CaseName());

class Startup : public KorvaneTest {};

TEST_F(Startup, FolderOf99CharactersOpensMainWindow) {
    std::string error;
    ASSERT_TRUE(demo_key::Delete(&error) && demo_key::SetFolder(FolderOfLength(99), &error)) << error;
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    EXPECT_FALSE(FindMessageBox(Korvane().Id()).has_value());
    EXPECT_TRUE(Korvane().IsRunning());
}

TEST_F(Startup, FolderOf99CharactersWithoutTerminatorOpensMainWindowAndExitsNormally) {
    std::string error;
    ASSERT_TRUE(demo_key::Delete(&error) && demo_key::SetFolderData(REG_SZ, FolderOfLength(99), &error))
        << error;
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    EXPECT_FALSE(FindMessageBox(Korvane().Id()).has_value());
    const std::optional<DWORD> code = ExitKorvane();
    ASSERT_TRUE(code.has_value()) << "Korvane did not end after \"Exit\"";
    EXPECT_EQ(*code, kNormalExitCode);
}

// The option controls, each with the state the window opens with.
const std::map<int, bool> kDefaultStates = {
    {IDC_MAIN_OPENGL, false},     {IDC_MAIN_DIRECT3D, true},  {IDC_MAIN_DETAIL_HIGH, true},
    {IDC_MAIN_DETAIL_LOW, false}, {IDC_MAIN_RES_640, false},  {IDC_MAIN_RES_800, false},
    {IDC_MAIN_RES_1024, true},    {IDC_MAIN_RES_1280, false}, {IDC_MAIN_RES_1600, false},
    {IDC_MAIN_FLYBY1, true},      {IDC_MAIN_FLYBY2, true},    {IDC_MAIN_FLYBY3, true},
    {IDC_MAIN_BOTMATCH1, true},   {IDC_MAIN_BOTMATCH2, true}, {IDC_MAIN_BOTMATCH3, true},
};

void ExpectStates(HWND main, const std::map<int, bool>& expected) {
    for (const auto& [id, checked] : expected) {
        EXPECT_EQ(IsChecked(main, id), std::optional<bool>(checked)) << "control " << id;
    }
}

TEST_F(Startup, MainWindowOpensWithDefaultsAndFocusOnExit) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    EXPECT_EQ(WindowText(Main()), std::optional<std::string>(kMainCaption));
    ExpectStates(Main(), kDefaultStates);
    EXPECT_EQ(FocusedControlId(Main()), std::optional<int>(IDCANCEL)) << "the focus is not on \"Exit\"";
    EXPECT_EQ(ControlText(Main(), IDCANCEL), std::optional<std::string>("Exit"));
    EXPECT_EQ(ControlText(Main(), IDC_MAIN_BENCHMARK), std::optional<std::string>("BENCHMARK NOW!"));
    // The resource script's check boxes against the scene table the program runs,
    // reports and names in korvane-cli from.
    for (const bench::SceneRow& row : bench::SceneTable()) {
        EXPECT_EQ(ControlText(Main(), row.checkBoxId), std::optional<std::string>(row.checkBoxText));
        EXPECT_EQ(row.checkBoxId, Scene(row.index).checkBoxId);
        EXPECT_STREQ(row.checkBoxText, Scene(row.index).checkBoxText);
        EXPECT_STREQ(row.detailsRowText, Scene(row.index).detailsRow);
    }
}

// The radio groups: renderer, detail level, resolution; the scene boxes stand alone.
const std::vector<std::vector<int>> kRadioGroups = {
    {IDC_MAIN_OPENGL, IDC_MAIN_DIRECT3D},
    {IDC_MAIN_DETAIL_HIGH, IDC_MAIN_DETAIL_LOW},
    {IDC_MAIN_RES_640, IDC_MAIN_RES_800, IDC_MAIN_RES_1024, IDC_MAIN_RES_1280, IDC_MAIN_RES_1600},
};

// What a click does to the states: a radio button becomes the only checked one of
// its group; a check box toggles.
void ApplyClick(std::map<int, bool>& states, int id) {
    for (const std::vector<int>& group : kRadioGroups) {
        for (const int member : group) {
            if (member == id) {
                for (const int other : group) {
                    states[other] = other == id;
                }
                return;
            }
        }
    }
    states[id] = !states[id];
}

struct ClickStep {
    const char* name;
    int id;
};

const ClickStep kClickSteps[] = {
    {"Low", IDC_MAIN_DETAIL_LOW},          {"800x600", IDC_MAIN_RES_800},
    {"OpenGL ICD", IDC_MAIN_OPENGL},       {"Flyby 1 off", IDC_MAIN_FLYBY1},
    {"1600x1200", IDC_MAIN_RES_1600},      {"High", IDC_MAIN_DETAIL_HIGH},
    {"Direct3D 8.1", IDC_MAIN_DIRECT3D},   {"640x480", IDC_MAIN_RES_640},
    {"Botmatch3 off", IDC_MAIN_BOTMATCH3}, {"Flyby 1 on", IDC_MAIN_FLYBY1},
    {"1280x1024", IDC_MAIN_RES_1280},
};

TEST_F(Startup, ClickingAnOptionChangesOnlyItsOwnGroup) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    std::map<int, bool> expected = kDefaultStates;
    for (const ClickStep& step : kClickSteps) {
        SCOPED_TRACE(step.name);
        ASSERT_TRUE(SendClick(Main(), step.id));
        ApplyClick(expected, step.id);
        ExpectStates(Main(), expected);
    }
}

} // namespace
} // namespace e2e
