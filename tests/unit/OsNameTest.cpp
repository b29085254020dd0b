// The operating-system names by version number.
#include <gtest/gtest.h>

#include <string>

#include "sysinfo/OsNames.h"

namespace {

struct OsCase {
    const char* name;
    unsigned major;
    unsigned minor;
    const char* osName;
};

const OsCase kOsCases[] = {
    {"Win95", 3, 95, "Microsoft Windows 95"},
    {"Major3Minor0", 3, 0, "Microsoft Windows 95"},
    {"Major3Minor51", 3, 51, "Microsoft Windows 95"},
    {"Nt4", 4, 0, "Microsoft Windows NT 4.0"},
    {"Win98", 4, 10, "Microsoft Windows 98"},
    {"WinMe", 4, 90, "Microsoft Windows ME"},
    {"Major4Minor3", 4, 3, "MS Windows 4.0"},
    {"Major4Minor1", 4, 1, "MS Windows 4.0"},
    {"Major4Minor11", 4, 11, "MS Windows 4.0"},
    {"Major4Minor91", 4, 91, "MS Windows 4.0"},
    {"Win2000", 5, 0, "Microsoft Windows 2000"},
    {"WinXp", 5, 1, "Microsoft Windows XP"},
    {"Server2003", 5, 2, "Microsoft Windows Server 2003"},
    {"Major5Minor3", 5, 3, "MS Windows 5.x"},
    {"Vista", 6, 0, "Next Generation Windows"},
    {"Win7", 6, 1, "Next Generation Windows"},
    {"Win10", 10, 0, "Next Generation Windows"},
    {"Major0", 0, 0, "Next Generation Windows"},
    {"Major2", 2, 0, "Next Generation Windows"},
    {"Major6Minor10", 6, 10, "Next Generation Windows"},
    {"LargestMajor", 0xFFFFFFFFu, 0, "Next Generation Windows"},
};

class OsNameTest : public ::testing::TestWithParam<OsCase> {};

TEST_P(OsNameTest, NamesTheVersion) {
    EXPECT_EQ(sysinfo::OsNameFor(GetParam().major, GetParam().minor), GetParam().osName);
}

INSTANTIATE_TEST_SUITE_P(Table, OsNameTest, ::testing::ValuesIn(kOsCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
