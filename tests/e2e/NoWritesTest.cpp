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
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "GameLines.h"
#include "KorvaneFixture.h"
#include "driver/Handles.h"
#include "driver/Paths.h"
#include "driver/Snapshot.h"

namespace e2e {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

std::string Describe(const std::vector<Change>& changes) {
    std::string text;
    for (const Change& change : changes) {
        text += "\n  " + change.what + " " + change.path + ": " + change.detail;
    }
    return text;
}

// The changes that are not in `allowed` (lower-case paths): a changed file there,
// or a changed time of a folder there (a file was made in it).
std::vector<Change> Unexpected(const std::vector<Change>& changes, const std::vector<std::string>& allowed) {
    std::vector<Change> left;
    for (const Change& change : changes) {
        if (std::find(allowed.begin(), allowed.end(), change.path) == allowed.end()) {
            left.push_back(change);
        }
    }
    return left;
}

// A key the test itself writes between the snapshots, so that the comparison is
// seen to catch a write: HKEY_CURRENT_USER\Software\<this name>.
constexpr char kControlKey[] = "Korvane end-to-end tests";

class NoWrites : public KorvaneTest {
protected:
    void TearDown() override {
        RegistryKey software;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, software.put()) ==
            ERROR_SUCCESS) {
            ::RegDeleteTreeA(software.get(), kControlKey);
        }
        KorvaneTest::TearDown();
    }

    // Writes one value under the control key.
    static bool WriteControlValue() {
        RegistryKey key;
        const std::string path = std::string("Software\\") + kControlKey;
        const DWORD value = 1;
        return ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_SET_VALUE, nullptr, key.put(), nullptr) == ERROR_SUCCESS &&
               ::RegSetValueExA(key.get(), "control", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                sizeof value) == ERROR_SUCCESS;
    }
};

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
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

TEST_F(NoWrites, StartUpFullRunAndExitChangeOnlyTheGamesFiles) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    // Korvane's own copy, so that the folder it starts from lies on C: too.
    const std::string programFolder = JoinPath(Root(), "bin");
    ASSERT_TRUE(MakeFolders(programFolder) && MakeFolders(KorvaneFolder()));
    ASSERT_TRUE(CopyFileTo(Programs().korvane, JoinPath(programFolder, "korvane.exe")));
    ASSERT_TRUE(CopyFileTo(Programs().cpuDefinitions, JoinPath(KorvaneFolder(), "cpudef.dat")));
    StartOptions().executable = JoinPath(programFolder, "korvane.exe");

    const FileTree filesBefore = SnapshotFiles("C:\\");
    const RegistryTree registryBefore = SnapshotRegistry();
    ASSERT_GT(filesBefore.size(), 100u) << "the C: drive cannot be listed";
    ASSERT_GT(registryBefore.size(), 1000u) << "the registry cannot be listed";

    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
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

    // The stand-in's record and the log it appends to, and the folders they were
    // made in.
    const std::vector<std::string> gamesFiles = {Lower(Demo().RecordFile()), Lower(Demo().LogFile()),
                                                 Lower(Demo().SystemFolder()),
                                                 Lower(ParentFolder(Demo().LogFile()))};
    const std::vector<Change> fileChanges = CompareFiles(filesBefore, filesAfter);
    EXPECT_EQ(Unexpected(fileChanges, gamesFiles).size(), 0u)
        << "files changed besides the game's own:" << Describe(Unexpected(fileChanges, gamesFiles));
    // The comparison sees the game's own writes.
    for (const std::string& file : {Demo().RecordFile(), Demo().LogFile()}) {
        EXPECT_TRUE(std::any_of(fileChanges.begin(), fileChanges.end(),
                                [&](const Change& change) { return change.path == Lower(file); }))
            << "the game's file is not among the changes: " << file;
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
    registryChanges.erase(std::remove_if(registryChanges.begin(), registryChanges.end(),
                                         [&](const Change& change) {
                                             return EndsWith(change.path, controlEnd) ||
                                                    (change.what == "time" && change.path == controlParent);
                                         }),
                          registryChanges.end());

    std::vector<Change> winesOwn;
    std::copy_if(registryChanges.begin(), registryChanges.end(), std::back_inserter(winesOwn), &IsWinesOwn);
    if (!winesOwn.empty()) {
        std::printf("[ NOTE     ] changes to Wine's own display keys, left aside:%s\n",
                    Describe(winesOwn).c_str());
    }
    registryChanges.erase(std::remove_if(registryChanges.begin(), registryChanges.end(), &IsWinesOwn),
                          registryChanges.end());
    EXPECT_EQ(registryChanges.size(), 0u) << "registry changes:" << Describe(registryChanges);
    std::printf("[ SNAPSHOT ] %zu files and folders, %zu registry keys compared\n", filesAfter.size(),
                registryAfter.size());
}

} // namespace
} // namespace e2e
