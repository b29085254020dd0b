// The platform-free halves of the system calls: the OS name of a version
// number, the demo's folder from a registry query, and the handle owner. (Text
// lines from chunks are the fuzz targets' property: joined, they are the text.)
#include <gtest/gtest.h>

#include <optional>
#include <string>
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

// Direct3D 8's DriverVersion: four 16-bit parts, the first two in the high half
// (tests/data/driver-versions.txt).
TEST(AdapterTest, DriverVersionInItsFourParts) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("driver-versions.txt")) {
        EXPECT_EQ(
            sysinfo::DriverVersionText(std::stoul(row[0], nullptr, 16), std::stoul(row.at(1), nullptr, 16)),
            row.at(2));
    }
}

// tests/data/install-folder-queries.txt, and the paths in the folder.
TEST(InstallPathsTest, OnlyAStringThatFitsIsTheFolder) {
    for (const std::vector<std::string>& row : sourcetree::ReadTable("install-folder-queries.txt")) {
        const std::string data = sourcetree::Unescaped(row.at(2));
        const std::string folder = sourcetree::Unescaped(row.size() > 4 ? row[4] : "");
        EXPECT_EQ(app::FolderFromQuery(std::stol(row[0]), std::stoul(row[1]),
                                       row[2] == "-" ? nullptr : data.data(), std::stoul(row.at(3))),
                  folder == "-" ? std::nullopt : std::optional<std::string>(folder))
            << "status " << row[0] << ", type " << row[1] << ", " << row[3] << " bytes";
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
