// The machine-facts panel's video card: a d3d8.dll planted where Korvane must not
// look is not loaded, and without Direct3D 8 the card is empty; one planted in
// the system folder, where it looks, gives korvane-cli's report its adapter's
// driver and PCI ids. (The six labels at first sight and through a run: the full
// run's test.)

#include "KorvaneFixture.h"
#include "driver/WineOverrides.h"

namespace e2e {
namespace {

class MachineFacts : public KorvaneTest {};

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
        const std::string card = ControlText(Main(), IDC_MAIN_VIDEO_CARD).value_or("?");
        EXPECT_FALSE(FileExists(beside)) << "Korvane loaded the d3d8.dll beside it";
        EXPECT_FALSE(FileExists(inFolder)) << "Korvane loaded the d3d8.dll in its working folder";
        EXPECT_EQ(card.empty(), *order == '\0') << card;
        EXPECT_FALSE(ControlText(Main(), IDC_MAIN_PROCESSOR).value_or("").empty() ||
                     ControlText(Main(), IDC_MAIN_RAM).value_or("").empty())
            << "the other facts are missing";
        ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
    }
}

TEST_F(MachineFacts, ADriverAndItsPciIdsFromDirect3DGoIntoTheReport) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[all]\r\nfps=50\r\n"));
    const auto cli = Place(Programs().cli, KorvaneFolder(), "korvane-cli-planted.exe", "native");
    // The system folder's d3d8.dll replaced; the fixture puts it back.
    ASSERT_TRUE(CopyFileTo(SystemD3d8Path(), SavedD3d8Path()) &&
                CopyFileTo(Programs().identifyingD3d8, SystemD3d8Path()))
        << SystemD3d8Path();
    ASSERT_NO_FATAL_FAILURE(
        StartCli("--scenes flyby1 --runs 1 --json r.json", false, true, Path("korvane-cli-planted.exe")));
    const CliResult result = FinishCli(30000);
    ASSERT_EQ(result.exitStatus, std::optional<DWORD>(0)) << result;
    ExpectTexts("adapter", result);
}

} // namespace
} // namespace e2e
