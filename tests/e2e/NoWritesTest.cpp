// Korvane writes no file and no registry value: the whole C: drive of the Wine
// prefix and the whole registry are compared before Korvane starts and after a
// full run and its exit. Only the stand-in game's own files may change.
//
// The registry is compared by content through the registry functions, which show
// the wine server's live state. The prefix's registry files (system.reg, user.reg,
// userdef.reg) are not compared: the server rewrites them on its own schedule,
// at most every 30 seconds after any change by any program (the test's own
// changes to the demo's key included), so their content lags behind and their
// size and time say nothing about Korvane.
//
// Other programs may use the same prefix meanwhile (other tests, scripts): what
// they write lands in the comparison too. A change in the folders of this test
// (Korvane's, its working folder, the demo's) always fails. A change elsewhere
// fails only when it comes back in every one of up to three runs, each with
// folders of its own: Korvane would write the same again, other programs do not.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "GameLines.h"
#include "KorvaneFixture.h"
#include "driver/Handles.h"
#include "driver/Paths.h"
#include "driver/Snapshot.h"

namespace e2e {
namespace {

constexpr int kMostRuns = 3;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Describe(const std::vector<Change>& changes) {
    std::string text;
    for (const Change& change : changes) {
        text += "\n  " + change.what + " " + change.path + ": " + change.detail;
    }
    return text;
}

std::set<std::string> Paths(const std::vector<Change>& changes) {
    std::set<std::string> paths;
    for (const Change& change : changes) {
        paths.insert(change.path);
    }
    return paths;
}

// Keys that Wine itself writes: now and then, when a program first uses the
// display (a window, Direct3D), Wine's display driver registers its adapter once
// more as a new Control\Video\{guid}\0000 key with the value GraphicsDriver and
// points the video device map at it. A bare program that opens one window does
// the same, so these changes say nothing about Korvane.
const char* const kWinesOwnKeys[] = {
    "hklm\\system\\currentcontrolset\\control\\video",
    "hklm\\hardware\\devicemap\\video",
};

bool IsWinesOwn(const Change& change) {
    for (const char* key : kWinesOwnKeys) {
        if (change.path == key || StartsWith(change.path, std::string(key) + "\\") ||
            StartsWith(change.path, std::string(key) + " : ")) {
            return true;
        }
    }
    return false;
}

// A key the test itself writes between the snapshots, so that the comparison is
// seen to catch a write: HKEY_CURRENT_USER\Software\<this name>.
constexpr char kControlKey[] = "Korvane end-to-end tests";

void DeleteControlKey() {
    RegistryKey software;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, software.put()) == ERROR_SUCCESS) {
        ::RegDeleteTreeA(software.get(), kControlKey);
    }
}

bool WriteControlValue() {
    RegistryKey key;
    const std::string path = std::string("Software\\") + kControlKey;
    const DWORD value = 1;
    return ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_SET_VALUE, nullptr, key.put(), nullptr) == ERROR_SUCCESS &&
           ::RegSetValueExA(key.get(), "control", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value) == ERROR_SUCCESS;
}

// What one run changed besides the game's own files and the test's own key.
struct RunChanges {
    std::vector<Change> inTestFolders; // under this run's folders: always Korvane's
    std::vector<Change> elsewhere;     // anywhere else on C: and in the registry
};

class NoWrites : public KorvaneTest {
protected:
    void TearDown() override {
        DeleteControlKey();
        KorvaneTest::TearDown();
    }

    // Installs the demo and Korvane's own copy in folders of this run, takes the
    // snapshots around Korvane's start-up, a full run and its exit, and sorts the
    // changes. The demo's and Korvane's working folders have one-letter names (a,
    // b, c and x, y, z): the game's command line holds both and fits only 279
    // characters.
    void RunOnce(int run, RunChanges& result) {
        ASSERT_NO_FATAL_FAILURE(
            InstallDemo(JoinPath(Root(), std::string(1, static_cast<char>('a' + run - 1)))));
        const std::string programFolder = JoinPath(Root(), "bin" + std::to_string(run));
        const std::string workingFolder = JoinPath(Root(), std::string(1, static_cast<char>('x' + run - 1)));
        ASSERT_TRUE(MakeFolders(programFolder) && MakeFolders(workingFolder));
        ASSERT_TRUE(CopyFileTo(Programs().korvane, JoinPath(programFolder, "korvane.exe")));
        ASSERT_TRUE(CopyFileTo(Programs().cpuDefinitions, JoinPath(workingFolder, "cpudef.dat")));
        StartOptions().executable = JoinPath(programFolder, "korvane.exe");

        const FileTree filesBefore = SnapshotFiles("C:\\");
        const RegistryTree registryBefore = SnapshotRegistry();
        ASSERT_GT(filesBefore.size(), 100u) << "the C: drive cannot be listed";
        ASSERT_GT(registryBefore.size(), 1000u) << "the registry cannot be listed";

        ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow(workingFolder));
        const RunOutcome outcome = PressBenchmarkNow(kSceneCount);
        ASSERT_TRUE(outcome.finished) << outcome;
        ASSERT_TRUE(outcome.resultsShown) << outcome;
        ASSERT_EQ(OpenDetails().size(), 13u);
        const std::optional<DWORD> code = ExitKorvane();
        ASSERT_TRUE(code.has_value()) << "Korvane did not end after \"Exit\"";
        EXPECT_EQ(*code, kNormalExitCode);

        ASSERT_TRUE(WriteControlValue()) << "cannot write the control key";
        const FileTree filesAfter = SnapshotFiles("C:\\");
        const RegistryTree registryAfter = SnapshotRegistry();
        DeleteControlKey();
        std::printf("[ SNAPSHOT ] run %d: %zu files and folders, %zu registry keys compared\n", run,
                    filesAfter.size(), registryAfter.size());

        // The stand-in's record and the log it appends to, and the folders they
        // were made in, change; the comparison must see them.
        const std::vector<std::string> gamesFiles = {Lower(Demo().RecordFile()), Lower(Demo().LogFile()),
                                                     Lower(Demo().SystemFolder()),
                                                     Lower(ParentFolder(Demo().LogFile()))};
        const std::vector<Change> fileChanges = CompareFiles(filesBefore, filesAfter);
        for (const std::string& file : {Demo().RecordFile(), Demo().LogFile()}) {
            EXPECT_EQ(Paths(fileChanges).count(Lower(file)), 1u)
                << "the game's file is not among the changes: " << file;
        }
        const std::string ownFolder = Lower(JoinPath(Root(), ""));
        for (const Change& change : fileChanges) {
            if (std::find(gamesFiles.begin(), gamesFiles.end(), change.path) != gamesFiles.end()) {
                continue;
            }
            (StartsWith(change.path, ownFolder) ? result.inTestFolders : result.elsewhere).push_back(change);
        }

        // The control key is new, and its parent's time changed as it was made.
        std::vector<Change> registryChanges = CompareRegistry(registryBefore, registryAfter);
        const std::string controlEnd = Lower(std::string("\\software\\") + kControlKey);
        const auto control =
            std::find_if(registryChanges.begin(), registryChanges.end(), [&](const Change& change) {
                return change.what == "added" && EndsWith(change.path, controlEnd);
            });
        ASSERT_NE(control, registryChanges.end()) << "the comparison missed the control key";
        const std::string controlParent = ParentFolder(control->path);
        std::vector<Change> winesOwn;
        for (const Change& change : registryChanges) {
            if (EndsWith(change.path, controlEnd) ||
                (change.what == "time" && change.path == controlParent)) {
                continue;
            }
            (IsWinesOwn(change) ? winesOwn : result.elsewhere).push_back(change);
        }
        if (!winesOwn.empty()) {
            std::printf("[ NOTE     ] changes to Wine's own display keys, left aside:%s\n",
                        Describe(winesOwn).c_str());
        }
    }
};

TEST_F(NoWrites, StartUpFullRunAndExitChangeOnlyTheGamesFiles) {
    std::set<std::string> inEveryRun;
    for (int run = 1; run <= kMostRuns; ++run) {
        RunChanges changes;
        ASSERT_NO_FATAL_FAILURE(RunOnce(run, changes));
        EXPECT_TRUE(changes.inTestFolders.empty())
            << "Korvane wrote in the test's folders:" << Describe(changes.inTestFolders);
        if (changes.elsewhere.empty()) {
            return;
        }
        std::printf("[ NOTE     ] run %d: changes outside the test's folders:%s\n", run,
                    Describe(changes.elsewhere).c_str());
        const std::set<std::string> paths = Paths(changes.elsewhere);
        if (run == 1) {
            inEveryRun = paths;
        } else {
            std::set<std::string> common;
            std::set_intersection(inEveryRun.begin(), inEveryRun.end(), paths.begin(), paths.end(),
                                  std::inserter(common, common.begin()));
            inEveryRun = common;
        }
        if (inEveryRun.empty()) {
            std::printf("[ NOTE     ] no change came back in every run: they were other programs'\n");
            return;
        }
    }
    std::string repeated;
    for (const std::string& path : inEveryRun) {
        repeated += "\n  " + path;
    }
    ADD_FAILURE() << "changed in each of " << kMostRuns << " runs:" << repeated;
}

} // namespace
} // namespace e2e
