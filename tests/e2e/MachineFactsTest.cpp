// The machine-facts panel as a user meets it: the six labels filled and formatted
// when the main window first shows, unchanged afterwards; a definitions file that
// is missing or malformed; a d3d8.dll planted where Korvane must not look for it;
// and no Direct3D 8 at all.
#include <gtest/gtest.h>

#include <windows.h>

#include <cpuid.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "KorvaneFixture.h"
#include "MachineKey.h"
#include "driver/Paths.h"
#include "driver/Timing.h"
#include "driver/WineOverrides.h"
#include "fakes/FakeD3d8.h"
#include "res/resource.h"
#include "sysinfo/CpuDefinitions.h"

namespace e2e {
namespace {

using Facts = std::map<int, std::string>;

// The six labels in the order the window fills them.
constexpr int kFactLabels[] = {IDC_MAIN_PROCESSOR, IDC_MAIN_FREQUENCY, IDC_MAIN_CACHE,
                               IDC_MAIN_RAM,       IDC_MAIN_OS_NAME,   IDC_MAIN_VIDEO_CARD};

const char* LabelName(int id) {
    switch (id) {
    case IDC_MAIN_PROCESSOR:
        return "Processor";
    case IDC_MAIN_FREQUENCY:
        return "Frequency";
    case IDC_MAIN_CACHE:
        return "Cache";
    case IDC_MAIN_RAM:
        return "RAM Size";
    case IDC_MAIN_OS_NAME:
        return "OS Name";
    default:
        return "Video Card";
    }
}

// The labels as the system holds them, read without a message to Korvane.
Facts StoredFacts(HWND main) {
    Facts facts;
    for (const int id : kFactLabels) {
        facts[id] = StoredWindowText(::GetDlgItem(main, id));
    }
    return facts;
}

// The labels as Korvane answers WM_GETTEXT; "<no answer>" for a label that does not answer.
Facts AnsweredFacts(HWND main) {
    Facts facts;
    for (const int id : kFactLabels) {
        facts[id] = ControlText(main, id).value_or("<no answer>");
    }
    return facts;
}

// Whether texts read without a message can be trusted on this system: Wine keeps
// every control's text where another process can read it; Windows only captions.
bool StoredTextsReadable(HWND main) {
    return StoredWindowText(::GetDlgItem(main, IDCANCEL)) == "Exit";
}

std::string Describe(const Facts& facts) {
    std::string text;
    for (const int id : kFactLabels) {
        text += std::string("\n  ") + LabelName(id) + ": \"" + facts.at(id) + "\"";
    }
    return text;
}

// The RAM label's number: the machine's whole physical memory in MiB, plus one.
std::string ExpectedRamText() {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) {
        return std::string();
    }
    return std::to_string((status.ullTotalPhys >> 20) + 1) + " MByte";
}

// The cache label of an AMD processor, from its extended CPUID leaves: level-1
// data plus code from 0x80000005, level 2 from 0x80000006 (-1 without that leaf).
// Nothing for other vendors, whose sizes come from descriptor tables.
std::optional<std::string> ExpectedAmdCacheText(const ProcessorKey& key) {
    if (key.vendor != "AuthenticAMD") {
        return std::nullopt;
    }
    unsigned eax = 0;
    unsigned ebx = 0;
    unsigned ecx = 0;
    unsigned edx = 0;
    __cpuid(0x80000000u, eax, ebx, ecx, edx);
    const unsigned highest = eax;
    __cpuid(0x80000005u, eax, ebx, ecx, edx);
    const int l1Kb = static_cast<int>((ecx >> 24) + (edx >> 24));
    __cpuid(1, eax, ebx, ecx, edx);
    const unsigned family = (eax >> 8) & 0xF;
    const unsigned model = (eax >> 4) & 0xF;
    const unsigned stepping = eax & 0xF;
    int l2Kb = -1;
    if (highest >= 0x80000006u) {
        __cpuid(0x80000006u, eax, ebx, ecx, edx);
        l2Kb = family == 6 && model == 3 && stepping == 0 ? 64 : static_cast<int>(ecx >> 16);
    }
    return std::to_string(l1Kb) + "k L1, " + std::to_string(l2Kb) + "k L2";
}

// The OS label for the version this system reports, where the name does not
// depend on the minor version or the implementer's choice.
std::optional<std::string> ExpectedOsName() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = ::GetVersionExA(&version);
#pragma GCC diagnostic pop
    if (!known || (version.dwMajorVersion >= 3 && version.dwMajorVersion <= 5)) {
        return std::nullopt;
    }
    return std::string("Next Generation Windows");
}

const std::regex kFrequencyShape("^[0-9]+\\.[0-9]{2} MHz$");
const std::regex kCacheShape("^-?[0-9]+k L1, -?[0-9]+k L2$");
const std::regex kRamShape("^[0-9]+ MByte$");

std::string ShippedDefinitions() {
    return ReadTextFile(Programs().cpuDefinitions).value_or(std::string());
}

class MachineFacts : public KorvaneTest {
protected:
    // Every label but those in `mayBeEmpty` has text.
    void ExpectFilled(const Facts& facts, std::initializer_list<int> mayBeEmpty = {}) {
        for (const int id : kFactLabels) {
            bool optional = false;
            for (const int other : mayBeEmpty) {
                optional = optional || other == id;
            }
            if (!optional) {
                EXPECT_FALSE(facts.at(id).empty()) << LabelName(id) << " is empty";
            }
        }
    }

    // Ends Korvane through "Exit" and checks it ended normally.
    void ExpectNormalExit() {
        const std::optional<DWORD> code = ExitKorvane();
        ASSERT_TRUE(code.has_value()) << "Korvane did not end after \"Exit\"";
        EXPECT_EQ(*code, kNormalExitCode);
    }
};

TEST_F(MachineFacts, LabelsAreFilledAndFormattedWhenTheWindowFirstShowsAndNeverChange) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[all]\r\nseconds=2\r\n"));
    Facts atFirstSight;
    bool storedReadable = false;
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow(std::string(), [&](HWND main) {
        atFirstSight = StoredFacts(main);
        storedReadable = StoredTextsReadable(main);
    }));
    if (!storedReadable) {
        // The texts can only be asked for: right after the window showed.
        std::printf("[ NOTE     ] this system keeps no control texts for other processes; "
                    "the labels are read by message right after the window showed\n");
        atFirstSight = AnsweredFacts(Main());
    }
    SCOPED_TRACE("labels when the window first showed:" + Describe(atFirstSight));
    ExpectFilled(atFirstSight);

    EXPECT_TRUE(std::regex_match(atFirstSight[IDC_MAIN_FREQUENCY], kFrequencyShape));
    EXPECT_NE(atFirstSight[IDC_MAIN_FREQUENCY], "0.00 MHz") << "the clock was not measured";
    EXPECT_TRUE(std::regex_match(atFirstSight[IDC_MAIN_CACHE], kCacheShape));
    EXPECT_TRUE(std::regex_match(atFirstSight[IDC_MAIN_RAM], kRamShape));
    EXPECT_EQ(atFirstSight[IDC_MAIN_RAM], ExpectedRamText());

    const std::optional<ProcessorKey> key = MachineProcessorKey();
    if (key && !key->seeksVariant && !ShippedDefinitions().empty()) {
        EXPECT_EQ(
            atFirstSight[IDC_MAIN_PROCESSOR],
            NameInDefinitions(ShippedDefinitions(), key->sectionKey).value_or(sysinfo::kUnknownProcessorName))
            << "the shipped cpudef.dat's name for " << key->sectionKey;
    }
    if (key) {
        if (const std::optional<std::string> cache = ExpectedAmdCacheText(*key)) {
            EXPECT_EQ(atFirstSight[IDC_MAIN_CACHE], *cache);
        }
    }
    if (const std::optional<std::string> osName = ExpectedOsName()) {
        EXPECT_EQ(atFirstSight[IDC_MAIN_OS_NAME], *osName);
    }

    // Korvane answers with the same texts, and keeps them through a run.
    EXPECT_EQ(AnsweredFacts(Main()), atFirstSight);
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY2}));
    int changedWhileRunning = 0;
    int looks = 0;
    const RunOutcome outcome = PressBenchmarkNow(1, [&] {
        if (storedReadable) {
            ++looks;
            changedWhileRunning += StoredFacts(Main()) != atFirstSight ? 1 : 0;
        }
    });
    ASSERT_TRUE(outcome.finished) << outcome;
    EXPECT_EQ(changedWhileRunning, 0) << "the labels changed while the game ran (" << looks << " looks)";
    EXPECT_EQ(AnsweredFacts(Main()), atFirstSight) << "after the run";
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

// A definitions file that cannot serve as one, and where the machine's key
// stands in odd places. `definitions` makes the file's bytes from the machine's
// section key; `expectedName` is the processor label Korvane must show.
struct DefinitionsCase {
    const char* name;
    CpuDefinitionsFile file;
    bool needsKey; // the bytes or the name depend on the machine's key
    std::string (*definitions)(const std::string& sectionKey);
    std::string (*expectedName)();
};

// Bytes of every value but '[' (so no key can form by chance) and, unless
// `lineEnds`, without CR and LF: one long line.
std::string BinaryBytes(std::size_t count, unsigned seed, bool lineEnds) {
    std::mt19937 random(seed);
    std::string bytes;
    bytes.reserve(count);
    while (bytes.size() < count) {
        const char byte = static_cast<char>(random() & 0xFF);
        if (byte == '[' || (!lineEnds && (byte == '\r' || byte == '\n'))) {
            continue;
        }
        bytes.push_back(byte);
    }
    return bytes;
}

// A section of `key` with seven description lines, `name` on the second.
std::string Section(const std::string& key, const std::string& name) {
    return key + "\r\nTest processor\r\n" + name + "\r\nline 3\r\nline 4\r\nline 5\r\nline 6\r\nline 7\r\n";
}

constexpr std::size_t kTenMegabytes = 10u * 1024u * 1024u;

std::string TenMegabytesThenSection(const std::string& key) {
    // Lines that look like keys but are none: "[9,0x..]" has no vendor 9.
    std::string definitions;
    definitions.reserve(kTenMegabytes + 256);
    for (unsigned line = 0; definitions.size() < kTenMegabytes; ++line) {
        char text[64];
        std::snprintf(text, sizeof text, "[9,0x%02X]\r\nfiller line %u of the long file\r\n", line & 0xFF,
                      line);
        definitions += text;
    }
    return definitions + Section(key, "Found After Ten Megabytes");
}

const DefinitionsCase kDefinitionsCases[] = {
    {"Missing", CpuDefinitionsFile::None, false, nullptr,
     [] {
         return std::string(sysinfo::kDefinitionsUnreadableName);
     }},
    {"Empty", CpuDefinitionsFile::Given, false, [](const std::string&) { return std::string(); },
     [] {
         return std::string(sysinfo::kUnknownProcessorName);
     }},
    {"Binary", CpuDefinitionsFile::Given, false,
     [](const std::string&) { return BinaryBytes(64 * 1024, 7, true); },
     [] {
         return std::string(sysinfo::kUnknownProcessorName);
     }},
    {"BinaryAroundTheSection", CpuDefinitionsFile::Given, true,
     [](const std::string& key) {
         return BinaryBytes(16 * 1024, 11, true) + "\r\n" + Section(key, "Found Among Binary Bytes") +
                BinaryBytes(16 * 1024, 13, true);
     },
     [] {
         return std::string("Found Among Binary Bytes");
     }},
    {"TenMegabytes", CpuDefinitionsFile::Given, true, &TenMegabytesThenSection,
     [] {
         return std::string("Found After Ten Megabytes");
     }},
    // The file ends right after the key: the seven lines read as empty.
    {"KeyOnTheLastLine", CpuDefinitionsFile::Given, true,
     [](const std::string& key) { return Section("[9,0x00]", "Not This One") + key; },
     [] {
         return std::string();
     }},
    {"KeyOnTheLastLineWithItsLineEnd", CpuDefinitionsFile::Given, true,
     [](const std::string& key) { return Section("[9,0x00]", "Not This One") + key + "\r\n"; },
     [] {
         return std::string();
     }},
    {"KeyWithTrailingBlank", CpuDefinitionsFile::Given, true,
     [](const std::string& key) { return Section(key + " ", "Trailing Blank Matched"); },
     [] {
         return std::string(sysinfo::kUnknownProcessorName);
     }},
};

class MachineFactsDefinitions : public MachineFacts, public ::testing::WithParamInterface<DefinitionsCase> {};

TEST_P(MachineFactsDefinitions, StartsAndShowsTheProcessorLabel) {
    const DefinitionsCase& test = GetParam();
    const std::optional<ProcessorKey> key = MachineProcessorKey();
    if (test.needsKey && (!key || key->seeksVariant)) {
        GTEST_SKIP() << "this machine's processor seeks no plain section key (vendor "
                     << (key ? key->vendor : std::string("unknown")) << ")";
    }
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    StartOptions().cpuDefinitions = test.file;
    if (test.definitions != nullptr) {
        StartOptions().cpuDefinitionsBytes = test.definitions(key ? key->sectionKey : std::string());
    }
    const ULONGLONG start = NowMs();
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    const ULONGLONG startUpMs = NowMs() - start;
    std::printf("[ TIMING   ] %s: main window visible %llu ms after the start\n", test.name, startUpMs);
    EXPECT_FALSE(FindMessageBox(Korvane().Id()).has_value()) << "a message box came up";

    const Facts facts = AnsweredFacts(Main());
    SCOPED_TRACE("labels:" + Describe(facts));
    EXPECT_EQ(facts.at(IDC_MAIN_PROCESSOR), test.expectedName());
    ExpectFilled(facts, {IDC_MAIN_PROCESSOR});
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

INSTANTIATE_TEST_SUITE_P(MachineFacts, MachineFactsDefinitions, ::testing::ValuesIn(kDefinitionsCases),
                         CaseName());

// True when the fake `dll` left its marker; the marker is then deleted, so that
// the next check starts clean.
bool TakeMarker(const std::string& dll) {
    const std::string marker = dll + kFakeMarkerSuffix;
    const bool there = FileExists(marker);
    DeleteFileAt(marker);
    return there;
}

// Copies `from` into `folder` as `name`, and sets Wine's d3d8 load order for that
// program name alone (a name no other program has): "native,builtin" takes a
// d3d8.dll found on the search path before Wine's own, "" disables d3d8.
std::unique_ptr<WineDllOverride> PlaceWithD3d8Order(const std::string& from, const std::string& folder,
                                                    const std::string& name, const std::string& loadOrder) {
    EXPECT_TRUE(MakeFolders(folder) && CopyFileTo(from, JoinPath(folder, name))) << "cannot copy " << from;
    auto order = std::make_unique<WineDllOverride>(name, "d3d8", loadOrder);
    EXPECT_TRUE(order->IsSet()) << order->Problem();
    return order;
}

// Runs the probe at `probe` in `workingFolder`; its exit status, and what it wrote.
std::pair<std::optional<DWORD>, std::optional<std::string>>
RunProbe(const std::string& probe, const std::string& workingFolder, const std::string& output) {
    std::string error;
    Process started = Process::Start(probe, "\"" + output + "\"", workingFolder, &error);
    EXPECT_TRUE(started) << error;
    const std::optional<DWORD> code = started ? started.WaitForExit(kStartTimeoutMs) : std::nullopt;
    return {code, ReadTextFile(output)};
}

TEST_F(MachineFacts, FakeD3d8BesideKorvaneOrInItsFolderIsNotLoaded) {
    ASSERT_FALSE(Programs().fakeD3d8.empty() || Programs().d3d8Probe.empty())
        << "the fake d3d8.dll and the probe are needed (--fake-d3d8, --d3d8-probe)";
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    // Korvane's own copy in a folder of its own, a fake beside it and one in the
    // folder it runs in. Wine takes a d3d8.dll from outside its system folder only
    // when told so for the program.
    const std::string programFolder = JoinPath(Root(), "bin");
    const std::string besideKorvane = JoinPath(programFolder, "d3d8.dll");
    const std::string inWorkingFolder = JoinPath(KorvaneFolder(), "d3d8.dll");
    const auto korvaneOrder =
        PlaceWithD3d8Order(Programs().korvane, programFolder, "korvane-planted.exe", "native,builtin");
    const auto probeOrder =
        PlaceWithD3d8Order(Programs().d3d8Probe, programFolder, "d3d8probe-planted.exe", "native,builtin");
    ASSERT_TRUE(MakeFolders(KorvaneFolder()));
    ASSERT_TRUE(CopyFileTo(Programs().fakeD3d8, besideKorvane));
    ASSERT_TRUE(CopyFileTo(Programs().fakeD3d8, inWorkingFolder));

    // The plant works: a program in the same place that loads d3d8.dll the plain
    // way gets the fake beside it.
    const auto [probeCode, probeText] = RunProbe(JoinPath(programFolder, "d3d8probe-planted.exe"),
                                                 KorvaneFolder(), JoinPath(Root(), "probe.txt"));
    ASSERT_EQ(probeCode, std::optional<DWORD>(0)) << "the probe found no adapter";
    EXPECT_EQ(probeText, std::optional<std::string>(kFakeAdapterPrefix + besideKorvane))
        << "a plain load did not take the planted d3d8.dll: the test below would prove nothing";
    EXPECT_TRUE(TakeMarker(besideKorvane));
    TakeMarker(inWorkingFolder);

    StartOptions().executable = JoinPath(programFolder, "korvane-planted.exe");
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    const Facts facts = AnsweredFacts(Main());
    SCOPED_TRACE("labels:" + Describe(facts));
    EXPECT_EQ(facts.at(IDC_MAIN_VIDEO_CARD).rfind(kFakeAdapterPrefix, 0), std::string::npos)
        << "Korvane shows the planted d3d8.dll's adapter";
    EXPECT_FALSE(TakeMarker(besideKorvane)) << "Korvane loaded the d3d8.dll beside it";
    EXPECT_FALSE(TakeMarker(inWorkingFolder)) << "Korvane loaded the d3d8.dll in its working folder";
    ExpectFilled(facts);
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

TEST_F(MachineFacts, WithoutDirect3D8TheVideoCardIsEmpty) {
    ASSERT_FALSE(Programs().d3d8Probe.empty()) << "the probe is needed (--d3d8-probe)";
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::string programFolder = JoinPath(Root(), "bin");
    const auto korvaneOrder = PlaceWithD3d8Order(Programs().korvane, programFolder, "korvane-nod3d8.exe", "");
    const auto probeOrder =
        PlaceWithD3d8Order(Programs().d3d8Probe, programFolder, "d3d8probe-nod3d8.exe", "");

    // Direct3D 8 is really gone for a program of that name.
    ASSERT_TRUE(MakeFolders(KorvaneFolder()));
    const auto [probeCode, probeText] = RunProbe(JoinPath(programFolder, "d3d8probe-nod3d8.exe"),
                                                 KorvaneFolder(), JoinPath(Root(), "probe.txt"));
    ASSERT_EQ(probeCode, std::optional<DWORD>(1))
        << "d3d8.dll still answers (" << probeText.value_or("") << "): the test below would prove nothing";

    StartOptions().executable = JoinPath(programFolder, "korvane-nod3d8.exe");
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    EXPECT_FALSE(FindMessageBox(Korvane().Id()).has_value()) << "a message box came up";
    const Facts facts = AnsweredFacts(Main());
    SCOPED_TRACE("labels:" + Describe(facts));
    EXPECT_EQ(facts.at(IDC_MAIN_VIDEO_CARD), "");
    ExpectFilled(facts, {IDC_MAIN_VIDEO_CARD});
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

} // namespace
} // namespace e2e
