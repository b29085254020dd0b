// Korvane on the systems of its users as far as Wine can play them: Wine claims
// to be Windows 98, ME, 2000 or XP for korvane.exe alone, and Korvane starts,
// names the system in its panel, runs a scene and shows the result.
//
// What this cannot show: Wine still exports its newer functions to a program
// that it tells it runs on Windows 98, so a program that imported an XP
// function would start here all the same. That the release loads on those
// systems is the import check's proof (tests/pe/check-imports.sh).
#include <gtest/gtest.h>

#include <string>

#include "GameLines.h"
#include "KorvaneFixture.h"
#include "driver/Paths.h"
#include "driver/WineOverrides.h"
#include "res/resource.h"

namespace e2e {
namespace {

struct SystemCase {
    const char* name;
    const char* wineVersion; // as winecfg names it
    const char* osName;      // what the panel shows beside "OS Name:"
};

const SystemCase kSystems[] = {
    {"Windows98", "win98", "Microsoft Windows 98"},
    {"WindowsME", "winme", "Microsoft Windows ME"},
    {"Windows2000", "win2k", "Microsoft Windows 2000"},
    {"WindowsXP", "winxp", "Microsoft Windows XP"},
};

class OlderSystem : public KorvaneTest, public ::testing::WithParamInterface<SystemCase> {};

TEST_P(OlderSystem, StartsNamesTheSystemAndRunsAScene) {
    const std::string program = Programs().korvane.substr(Programs().korvane.find_last_of('\\') + 1);
    const WineVersionOverride version(program, GetParam().wineVersion);
    ASSERT_TRUE(version.IsSet()) << version.Problem();
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteStandInSettings(Demo(), SettingsSection(0) + "\r\nfps=57.25\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    EXPECT_EQ(ControlText(Main(), IDC_MAIN_OS_NAME), std::optional<std::string>(GetParam().osName));

    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1}));
    const RunOutcome outcome = PressBenchmarkNow(1);
    ASSERT_TRUE(outcome.resultsShown) << outcome;
    EXPECT_EQ(ControlText(ResultWindow(), IDC_RESULT_SCORE), std::optional<std::string>("N/A "));
    const DetailsRows rows = OpenDetails();
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[7], (std::vector<std::string>{Scene(0).detailsRow, "57.25 fps"}));
    EXPECT_EQ(ExitKorvane(), std::optional<DWORD>(kNormalExitCode));
}

INSTANTIATE_TEST_SUITE_P(OlderSystems, OlderSystem, ::testing::ValuesIn(kSystems), CaseName());

} // namespace
} // namespace e2e
