// The platform-free halves of the system calls: the OS name of a version
// number, the demo's folder from a registry query, and the handle owner. (Text
// lines from chunks are the fuzz targets' property: joined, they are the text.)
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "SourceTree.h"
#include "app/InstallPaths.h"
#include "framework/UniqueOwner.h"
#include "sysinfo/MachineFacts.h"
#include "sysinfo/OsNames.h"

namespace {

// tests/data/os-names.txt, with the versions either side of each named one.
TEST(OsNamesTest, NamesTheVersion) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("os-names.txt")) {
        EXPECT_EQ(sysinfo::OsNameFor(static_cast<unsigned>(std::stoul(row[0])),
                                     static_cast<unsigned>(std::stoul(row[1]))),
                  row.at(2))
            << row[0] << "." << row[1];
    }
}

// Direct3D 8's DriverVersion: four 16-bit parts, the first two in the high half.
TEST(AdapterTest, DriverVersionInItsFourParts) {
    const std::tuple<std::uint32_t, std::uint32_t, const char*> cases[] = {
        {0x0006000E, 0x000A188C, "6.14.10.6284"},
        {0x0004000D, 0x00010A28, "4.13.1.2600"},
        {0xFFFFFFFF, 0xFFFFFFFF, "65535.65535.65535.65535"},
        {0, 0, "0.0.0.0"}};
    for (const auto& [high, low, text] : cases) {
        EXPECT_EQ(sysinfo::DriverVersionText(high, low), text);
    }
}

TEST(InstallPathsTest, OnlyAStringThatFitsIsTheFolder) {
    const std::string k99(99, 'x');
    const std::string k100(100, 'x');
    const std::string zero(1, '\0');
    const struct {
        long status;
        unsigned long type; // 1 REG_SZ, 2 REG_EXPAND_SZ, 4 REG_DWORD
        std::optional<std::string> data;
        unsigned long size;
        std::optional<std::string> folder;
    } cases[] = {
        // clang-format off
        {0, 1, "C:\\UT2003" + zero, 10, "C:\\UT2003"}, {0, 1, "C:\\UT2003", 9, "C:\\UT2003"},
        {0, 1, "C:\\UT" + zero + "junk", 10, "C:\\UT"}, {0, 1, zero, 1, ""}, {0, 1, k99 + zero, 100, k99},
        {0, 1, k99, 99, k99}, {0, 1, k100, 100, std::nullopt}, {0, 1, k100 + zero, 101, std::nullopt},
        {2, 1, "C:\\UT2003", 9, std::nullopt}, {234, 1, "C:\\UT2003", 9, std::nullopt},
        {0, 4, std::string("\x01\x00\x00\x00", 4), 4, std::nullopt}, {0, 2, "C:\\UT2003", 9, std::nullopt},
        {0, 1, std::nullopt, 0, std::nullopt},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::FolderFromQuery(c.status, c.type, c.data ? c.data->data() : nullptr, c.size), c.folder)
            << "status " << c.status << ", type " << c.type << ", " << c.size << " bytes";
    }
    const app::InstallPaths paths = app::MakeInstallPaths("D:\\Games\\UT2003 Demo");
    EXPECT_EQ(paths.gameExecutable, "D:\\Games\\UT2003 Demo\\system\\UT2003.exe");
    EXPECT_EQ(paths.systemFolder, "D:\\Games\\UT2003 Demo\\system");
    EXPECT_EQ(paths.gameFolder, "D:\\Games\\UT2003 Demo");
}

std::vector<int> closed;

struct FakeTraits {
    using Handle = int;
    static Handle Empty() noexcept { return -1; }
    static void Close(Handle handle) noexcept { closed.push_back(handle); }
};

TEST(UniqueOwnerTest, ClosesEachHandleOnce) {
    using Owner = framework::UniqueOwner<FakeTraits>;
    closed.clear();
    {
        Owner empty, none(-1), first(3);
        EXPECT_FALSE(empty || none);
        Owner second(std::move(first)), third(4);
        EXPECT_FALSE(first);
        third = std::move(second);
        EXPECT_EQ(closed, std::vector<int>{4}) << "the target's old handle is closed";
        Owner& alias = third;
        third = std::move(alias);
        EXPECT_EQ(third.get(), 3);
        int* slot = third.put();
        EXPECT_EQ(*slot, -1);
        *slot = 6;
        EXPECT_EQ(third.release(), 6);
        third.reset(9);
        third.reset();
        Owner last(10);
    }
    EXPECT_EQ(closed, (std::vector<int>{4, 3, 9, 10}));
}

} // namespace
