// The installation lookup's platform-free half: the checks on the registry's
// answer and the three paths made from the folder.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/InstallPaths.h"

namespace {

struct QueryCase {
    const char* name;
    long status;
    unsigned long type;
    std::string data; // null when empty and `noData`
    bool noData;
    unsigned long size;
    std::optional<std::string> folder;
};

const std::string k99(99, 'x');
const std::string k100(100, 'x');

const QueryCase kQueryCases[] = {
    {"Plain", 0, 1, std::string("C:\\UT2003\0", 11), false, 11, "C:\\UT2003"},
    {"WithoutItsZero", 0, 1, "C:\\UT2003", false, 9, "C:\\UT2003"},
    {"EndsAtTheFirstZero", 0, 1, std::string("C:\\UT\0junk", 10), false, 10, "C:\\UT"},
    {"Empty", 0, 1, std::string("\0", 1), false, 1, ""},
    {"NinetyNineWithItsZero", 0, 1, k99 + std::string("\0", 1), false, 100, k99},
    {"NinetyNineWithoutItsZero", 0, 1, k99, false, 99, k99},
    {"HundredWithoutZero", 0, 1, k100, false, 100, std::nullopt},
    {"MoreThanTheBuffer", 0, 1, k100 + std::string("\0", 1), false, 101, std::nullopt},
    {"Failed", 2, 1, "C:\\UT2003", false, 9, std::nullopt},
    {"FailedWithMoreData", 234, 1, "C:\\UT2003", false, 9, std::nullopt},
    {"NotAString", 0, 4, std::string("\x01\x00\x00\x00", 4), false, 4, std::nullopt},
    {"ExpandableString", 0, 2, "C:\\UT2003", false, 9, std::nullopt},
    {"NoData", 0, 1, "", true, 0, std::nullopt},
};

class FolderFromQueryTest : public ::testing::TestWithParam<QueryCase> {};

TEST_P(FolderFromQueryTest, AcceptsOnlyAStringThatFits) {
    const QueryCase& c = GetParam();
    EXPECT_EQ(app::FolderFromQuery(c.status, c.type, c.noData ? nullptr : c.data.data(), c.size), c.folder);
}

INSTANTIATE_TEST_SUITE_P(Cases, FolderFromQueryTest, ::testing::ValuesIn(kQueryCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(MakeInstallPathsTest, ExecutableAndSystemFolderBelowTheGameFolder) {
    const app::InstallPaths paths = app::MakeInstallPaths("D:\\Games\\UT2003 Demo");
    EXPECT_EQ(paths.gameExecutable, "D:\\Games\\UT2003 Demo\\system\\UT2003.exe");
    EXPECT_EQ(paths.systemFolder, "D:\\Games\\UT2003 Demo\\system");
    EXPECT_EQ(paths.gameFolder, "D:\\Games\\UT2003 Demo");
}

} // namespace
