// The machine-facts panel: the six labels filled and formatted when the main
// window first shows and unchanged through a run; a d3d8.dll planted where
// Korvane must not look; no Direct3D 8.
#include <map>
#include <regex>

#include "KorvaneFixture.h"
#include "driver/WineOverrides.h"

namespace e2e {
namespace {

constexpr int kLabels[] = {IDC_MAIN_PROCESSOR, IDC_MAIN_FREQUENCY, IDC_MAIN_CACHE,
                           IDC_MAIN_RAM,       IDC_MAIN_OS_NAME,   IDC_MAIN_VIDEO_CARD};

// The labels as the system holds them (read without a message to Korvane), or as Korvane answers.
std::map<int, std::string> Labels(HWND main, bool stored) {
    std::map<int, std::string> labels;
    for (const int id : kLabels) {
        labels[id] = stored ? StoredWindowText(::GetDlgItem(main, id)) : ControlText(main, id).value_or("?");
    }
    return labels;
}

class MachineFacts : public KorvaneTest {};

TEST_F(MachineFacts, LabelsAreFilledAndFormattedWhenTheWindowFirstShowsAndNeverChange) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[all]\r\nseconds=2\r\n"));
    std::map<int, std::string> first;
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow("", "", [&](HWND main) {
        // Wine keeps every control's text where another process can read it; Windows only captions.
        first = Labels(main, StoredWindowText(::GetDlgItem(main, IDCANCEL)) == "Exit");
    }));
    MEMORYSTATUSEX memory = {sizeof memory, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(::GlobalMemoryStatusEx(&memory));
    EXPECT_TRUE(std::regex_match(first[IDC_MAIN_FREQUENCY], std::regex("[1-9][0-9]*\\.[0-9]{2} MHz")))
        << first[IDC_MAIN_FREQUENCY];
    EXPECT_TRUE(std::regex_match(first[IDC_MAIN_CACHE], std::regex("-?[0-9]+k L1, -?[0-9]+k L2")))
        << first[IDC_MAIN_CACHE];
    EXPECT_EQ(first[IDC_MAIN_RAM], std::to_string((memory.ullTotalPhys >> 20) + 1) + " MByte");
    EXPECT_EQ(first[IDC_MAIN_OS_NAME], "Next Generation Windows") << "Wine plays Windows 7 or later";
    EXPECT_FALSE(first[IDC_MAIN_VIDEO_CARD].empty());
    EXPECT_FALSE(first[IDC_MAIN_PROCESSOR].empty());
    EXPECT_EQ(Labels(Main(), false), first) << "Korvane answers with other texts";
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY2}));
    int changes = 0;
    const RunOutcome outcome = PressBenchmarkNow(1, [&] { changes += Labels(Main(), true) != first; });
    ASSERT_TRUE(outcome.finished) << outcome;
    EXPECT_EQ(changes, 0) << "the labels changed while the game ran";
    EXPECT_EQ(Labels(Main(), false), first) << "after the run";
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

// Copies `from` into `folder` as `name`, with Wine's d3d8 load order for that
// name alone: "native,builtin" takes a d3d8.dll found on the search path, "" none.
std::unique_ptr<WineDllOverride> Place(const std::string& from, const std::string& folder,
                                       const std::string& name, const std::string& loadOrder) {
    EXPECT_TRUE(MakeFolders(folder) && CopyFileTo(from, JoinPath(folder, name))) << from;
    auto order = std::make_unique<WineDllOverride>(name, "d3d8", loadOrder);
    EXPECT_TRUE(order->IsSet()) << order->Problem();
    return order;
}

TEST_F(MachineFacts, FakeD3d8BesideKorvaneOrInItsFolderIsNotLoadedAndWithoutD3d8TheCardIsEmpty) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::string bin = JoinPath(Root(), "bin");
    const std::string beside = JoinPath(bin, "d3d8.dll") + ".loaded";
    const std::string inFolder = JoinPath(KorvaneFolder(), "d3d8.dll") + ".loaded";
    ASSERT_TRUE(MakeFolders(KorvaneFolder()) && MakeFolders(bin));
    ASSERT_TRUE(CopyFileTo(Programs().fakeD3d8, JoinPath(bin, "d3d8.dll")) &&
                CopyFileTo(Programs().fakeD3d8, JoinPath(KorvaneFolder(), "d3d8.dll")));
    for (const char* order : {"native,builtin", ""}) {
        SCOPED_TRACE(std::string("d3d8 load order \"") + order + "\"");
        const std::string suffix = *order ? "-planted.exe" : "-nod3d8.exe";
        const auto korvane = Place(Programs().korvane, bin, "korvane" + suffix, order);
        const auto probe = Place(Programs().d3d8Probe, bin, "d3d8probe" + suffix, order);
        // The plant works: a plain load in the same place takes the fake beside it
        // (or, without d3d8, nothing at all).
        Process started = Process::Start(JoinPath(bin, "d3d8probe" + suffix), "", KorvaneFolder(), nullptr);
        ASSERT_EQ(started.WaitForExit(kStartTimeoutMs), std::optional<DWORD>(*order ? 0 : 1));
        ASSERT_EQ(FileExists(beside), *order != '\0') << "the probe did not take the planted d3d8.dll";
        DeleteFileAt(beside);
        DeleteFileAt(inFolder);
        ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow("", JoinPath(bin, "korvane" + suffix)));
        const std::map<int, std::string> labels = Labels(Main(), false);
        EXPECT_FALSE(FileExists(beside)) << "Korvane loaded the d3d8.dll beside it";
        EXPECT_FALSE(FileExists(inFolder)) << "Korvane loaded the d3d8.dll in its working folder";
        EXPECT_EQ(labels.at(IDC_MAIN_VIDEO_CARD).empty(), *order == '\0') << labels.at(IDC_MAIN_VIDEO_CARD);
        EXPECT_FALSE(labels.at(IDC_MAIN_PROCESSOR).empty() || labels.at(IDC_MAIN_RAM).empty());
        ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
    }
}

} // namespace
} // namespace e2e
