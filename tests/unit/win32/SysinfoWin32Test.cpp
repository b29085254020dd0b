// The Win32 side of the machine facts under a real (or Wine's) Windows: the OS
// name, Direct3D 8 from the system folder only, the memory size, the machine's
// counters and CpuInfo with cpudef.dat in the current directory.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/Handles.h"
#include "sysinfo/CpuDefinitions.h"
#include "sysinfo/CpuInfo.h"
#include "sysinfo/MachineFacts.h"
#include "sysinfo/OsNames.h"
#include "sysinfo/SystemInfo.h"
#include "sysinfo/SystemLibrary.h"

namespace {

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
    return std::string(path, length);
}

std::string SystemFolder() {
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder, length);
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of("\\/"));
}

bool SameFolder(const std::string& a, const std::string& b) {
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool Marked(const char* variable) {
    char mark[8] = {};
    return ::GetEnvironmentVariableA(variable, mark, sizeof(mark)) != 0;
}

bool FakeD3d8Loaded() {
    return Marked("KORVANE_FAKE_D3D8_LOADED");
}

bool FakeProbeLoaded() {
    return Marked("KORVANE_FAKE_KORVANEPROBE_LOADED");
}

// Under Wine a d3d8.dll beside the program is only taken when the DLL override
// asks for native DLLs first.
bool WineKeepsItsOwnD3d8() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr || ::GetProcAddress(ntdll, "wine_get_version") == nullptr) {
        return false;
    }
    char overrides[512] = {};
    ::GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof(overrides));
    return std::string(overrides).find("d3d8=n") == std::string::npos;
}

class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& folder) {
        char previous[MAX_PATH] = {};
        ::GetCurrentDirectoryA(MAX_PATH, previous);
        previous_ = previous;
        ::SetCurrentDirectoryA(folder.c_str());
    }
    ~CurrentDirectory() { ::SetCurrentDirectoryA(previous_.c_str()); }

private:
    std::string previous_;
};

void ResetProcessState() {
    sysinfo::TheCpuDescription() = sysinfo::CpuDescription{};
    sysinfo::descriptionLoaded = false;
    sysinfo::clockMeasured = false;
}

TEST(SystemInfoWin32Test, OsNameFromTheVersionNumbers) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(::GetVersionExA(&version));
    const sysinfo::SystemInfo info;
    EXPECT_EQ(info.osName, sysinfo::OsNameFor(version.dwMajorVersion, version.dwMinorVersion));
    std::printf("Windows %lu.%lu: \"%s\"; adapter: \"%s\"\n", version.dwMajorVersion, version.dwMinorVersion,
                info.osName.c_str(), info.adapterDescription.c_str());
}

TEST(SystemInfoWin32Test, AdapterDescriptionAsDirect3D8GivesIt) {
    const sysinfo::SystemInfo info;
    EXPECT_EQ(info.adapterDescription, sysinfo::DefaultAdapterDescription());
    EXPECT_LT(info.adapterDescription.size(), 512u);
}

// The fake d3d8.dll lies in this program's folder; with that folder also the
// current directory, both places an unguarded LoadLibrary would look first.
class SystemFolderOnlyTest : public ::testing::Test {
protected:
    void SetUp() override {
        programFolder_ = FolderOf(ModulePath(nullptr));
        for (const char* fake : {"\\d3d8.dll", "\\korvaneprobe.dll"}) {
            ASSERT_NE(::GetFileAttributesA((programFolder_ + fake).c_str()), INVALID_FILE_ATTRIBUTES)
                << fake << " is built beside the test program";
        }
        // Each test starts unmarked.
        ::SetEnvironmentVariableA("KORVANE_FAKE_D3D8_LOADED", nullptr);
        ::SetEnvironmentVariableA("KORVANE_FAKE_KORVANEPROBE_LOADED", nullptr);
    }

    std::string programFolder_;
};

TEST_F(SystemFolderOnlyTest, LoadsTheSystemCopy) {
    const CurrentDirectory here(programFolder_);
    const framework::UniqueModule d3d8 = sysinfo::LoadFromSystemFolder("d3d8.dll");
    if (d3d8) {
        EXPECT_TRUE(SameFolder(FolderOf(ModulePath(d3d8.get())), SystemFolder())) << ModulePath(d3d8.get());
    }
    EXPECT_FALSE(FakeD3d8Loaded());
}

TEST_F(SystemFolderOnlyTest, FullPathWayLoadsTheSystemCopy) {
    const CurrentDirectory here(programFolder_);
    const framework::UniqueModule d3d8 = sysinfo::LoadByFullSystemPath("d3d8.dll");
    if (d3d8) {
        EXPECT_TRUE(SameFolder(FolderOf(ModulePath(d3d8.get())), SystemFolder())) << ModulePath(d3d8.get());
    }
    EXPECT_FALSE(FakeD3d8Loaded());
}

TEST_F(SystemFolderOnlyTest, SystemInfoNeverLoadsTheFake) {
    const CurrentDirectory here(programFolder_);
    const sysinfo::SystemInfo info;
    EXPECT_FALSE(FakeD3d8Loaded());
    EXPECT_EQ(::GetModuleHandleA((programFolder_ + "\\d3d8.dll").c_str()), nullptr);
}

TEST_F(SystemFolderOnlyTest, DllOnlyBesideTheProgramIsNotFound) {
    const CurrentDirectory here(programFolder_);
    EXPECT_FALSE(sysinfo::LoadFromSystemFolder("korvaneprobe.dll"));
    EXPECT_FALSE(sysinfo::LoadByFullSystemPath("korvaneprobe.dll"));
    EXPECT_FALSE(FakeProbeLoaded());
}

// Last of their group: the fakes are where a plain LoadLibrary finds them.
TEST_F(SystemFolderOnlyTest, ZzPlainLoadLibraryTakesTheProbe) {
    const CurrentDirectory here(programFolder_);
    const framework::UniqueModule plain(::LoadLibraryA("korvaneprobe.dll"));
    ASSERT_TRUE(plain);
    EXPECT_TRUE(FakeProbeLoaded());
}

TEST_F(SystemFolderOnlyTest, ZzPlainLoadLibraryTakesTheFakeD3d8) {
    if (WineKeepsItsOwnD3d8()) {
        GTEST_SKIP() << "Wine loads its own d3d8 for any path unless WINEDLLOVERRIDES=d3d8=n,b";
    }
    const CurrentDirectory here(programFolder_);
    const framework::UniqueModule plain(::LoadLibraryA("d3d8.dll"));
    ASSERT_TRUE(plain);
    EXPECT_TRUE(SameFolder(FolderOf(ModulePath(plain.get())), programFolder_)) << ModulePath(plain.get());
    EXPECT_TRUE(FakeD3d8Loaded());
}

TEST(MemoryWin32Test, TotalPhysicalMemoryIsTheFull64BitSize) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    ASSERT_TRUE(::GlobalMemoryStatusEx(&status));
    const std::uint64_t bytes = sysinfo::TotalPhysicalMemoryBytes();
    EXPECT_EQ(bytes, status.ullTotalPhys);
    EXPECT_GT(bytes, 0u);
    std::printf("RAM: %llu bytes, \"%s\"\n", static_cast<unsigned long long>(bytes),
                sysinfo::RamText(bytes).c_str());
}

class MachineWin32Test : public ::testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }
};

TEST_F(MachineWin32Test, ClockAgreesWithALongerMeasurement) {
    sysinfo::CpuInfo cpu(
        sysinfo::MachineCpuid(), [] { return std::unique_ptr<framework::LineSource>(); }, [](const char*) {},
        sysinfo::MachineClock());
    LARGE_INTEGER frequency{}, before{}, after{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&before);
    cpu.MeasureClock();
    ::QueryPerformanceCounter(&after);
    const double pauseMs = 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                           static_cast<double>(frequency.QuadPart);
    EXPECT_GE(pauseMs, 149.0) << "the measurement pauses 150 ms";

    // The same two counters over 600 ms, in full 64-bit width.
    sysinfo::ClockSource& clock = sysinfo::MachineClock();
    const std::uint64_t counter0 = clock.PerformanceCounter();
    const std::uint64_t cycles0 = clock.TimeStampCounter();
    clock.Pause(600);
    const std::uint64_t counter1 = clock.PerformanceCounter();
    const std::uint64_t cycles1 = clock.TimeStampCounter();
    const double referenceMhz =
        static_cast<double>(cycles1 - cycles0) /
        (static_cast<double>(counter1 - counter0) / static_cast<double>(clock.PerformanceFrequency())) / 1e6;
    const double measuredMhz = sysinfo::TheCpuDescription().clockMhz;
    std::printf("clock: %s measured, %.3f MHz over 600 ms, performance counter %lld Hz, pause %.1f ms\n",
                sysinfo::FrequencyText(sysinfo::TheCpuDescription().clockMhz).c_str(), referenceMhz,
                static_cast<long long>(frequency.QuadPart), pauseMs);
    EXPECT_NEAR(measuredMhz, referenceMhz, referenceMhz * 0.002);
    EXPECT_GT(measuredMhz, 100.0);

    // A second measurement neither pauses nor changes the value.
    ::QueryPerformanceCounter(&before);
    cpu.MeasureClock();
    ::QueryPerformanceCounter(&after);
    EXPECT_LT(1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                  static_cast<double>(frequency.QuadPart),
              50.0);
    EXPECT_EQ(static_cast<double>(sysinfo::TheCpuDescription().clockMhz), measuredMhz);
}

TEST_F(MachineWin32Test, DefaultCpuInfoReadsCpudefFromTheCurrentDirectory) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "korvane-cpudef-test";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\cpudef.dat";

    // The section of the processor this test runs on, found the same way.
    sysinfo::CpuInfo probe(
        sysinfo::MachineCpuid(), [] { return std::unique_ptr<framework::LineSource>(); }, [](const char*) {},
        sysinfo::MachineClock());
    const auto keys = sysinfo::DefinitionKeysFor(probe.vendor, probe.family, probe.model, probe.l2Kb);
    if (!keys) {
        ::RemoveDirectoryA(folder.c_str());
        GTEST_SKIP() << "this processor's vendor is not one Korvane knows";
    }
    std::string text = "; test\r\n" + keys->sectionKey + "\r\n";
    if (keys->seeksVariant) {
        text += keys->cacheKey + "\r\n";
    }
    text += "line 1\r\nThis test's processor\r\n3\r\n4\r\n5\r\n6\r\n7\r\n";
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }

    {
        const CurrentDirectory here(folder);
        ResetProcessState();
        const sysinfo::CpuInfo cpu;
        EXPECT_EQ(sysinfo::TheCpuDescription().processorName, "This test's processor");
        EXPECT_EQ(cpu.vendor, probe.vendor);
        // The file was closed again: it can be deleted.
        EXPECT_TRUE(::DeleteFileA(path.c_str()));

        ResetProcessState();
        const sysinfo::CpuInfo withoutFile;
        EXPECT_EQ(sysinfo::TheCpuDescription().processorName, sysinfo::kDefinitionsUnreadableName);
    }
    ::DeleteFileA(path.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

} // namespace
