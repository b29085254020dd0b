// Benchmark logs that are not what a well-behaved game leaves: the value Korvane
// takes from each (or the error it shows), that it never takes an older run's
// number as new, and how long it takes over a very large log.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "BadInput.h"
#include "GameLines.h"
#include "KorvaneFixture.h"
#include "driver/Timing.h"
#include "res/resource.h"

namespace e2e {
namespace {

// Korvane's pause after every scene.
constexpr ULONGLONG kPauseAfterSceneMs = 3000;

std::optional<ULONGLONG> LastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

ULONGLONG SystemTimeNow() {
    FILETIME now = {};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// Watches, every millisecond on a thread of its own, for `window` to become
// visible, and keeps the system time when it first is (0 until then).
class ShowingWatch {
public:
    ShowingWatch(HWND window, ULONGLONG& shownAt) : window_(window), shownAt_(shownAt) {
        thread_ = std::thread([this] {
            while (!stop_) {
                if (IsVisible(window_)) {
                    shownAt_ = SystemTimeNow();
                    return;
                }
                ::Sleep(1);
            }
        });
    }
    ~ShowingWatch() {
        stop_ = true;
        thread_.join();
    }
    ShowingWatch(const ShowingWatch&) = delete;
    ShowingWatch& operator=(const ShowingWatch&) = delete;

private:
    HWND window_;
    ULONGLONG& shownAt_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Bytes of any value, line ends and zeros among them, from a fixed seed.
std::string BinaryBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

// Bytes without line ends, "=", digits, signs, points or blanks: a last line in
// which no number can be found, whichever way it is looked at.
std::string BinaryWithoutNumber(std::size_t count, unsigned seed) {
    const std::string excluded = "\r\n= \t\v\f+-.0123456789";
    std::mt19937 random(seed);
    std::string bytes;
    while (bytes.size() < count) {
        const char byte = static_cast<char>(random() & 0xFF);
        if (excluded.find(byte) == std::string::npos) {
            bytes.push_back(byte);
        }
    }
    return bytes;
}

constexpr std::size_t kFiftyMegabytes = 50u * 1024u * 1024u;

std::string FiftyMegabytesOfOlderResults() {
    std::string log;
    log.reserve(kFiftyMegabytes + 256);
    for (unsigned seed = 0; log.size() < kFiftyMegabytes; ++seed) {
        log += EngineLine(10.0, seed) + "\r\n";
    }
    return log;
}

// One press of "Flyby 1" over a log prepared beforehand.
struct LogCase {
    const char* name;
    bool logBefore;            // a log exists before the press,
    std::string (*logBytes)(); // with these bytes
    const char* settings;      // the stand-in's settings
    const char* expectedFps;   // scene 0's row in the details list
};

const LogCase kLogCases[] = {
    // The plain case, for comparing the times with.
    {"NewLineAfterAnOlderOne", true, [] { return EngineLine(12.5, 1) + "\r\n"; }, "[all]\r\nfps=46.25\r\n",
     "46.25 fps"},
    // The game ends its log with an empty line: 0.0, not the line before it.
    {"EmptyLastLine", false, nullptr, "[all]\r\nfps=41\r\nfault=empty-line\r\n", "0.00 fps"},
    {"LastLineWithoutNumber", false, nullptr, "[all]\r\nfault=no-number\r\n", "0.00 fps"},
    // An empty log whose time the game changes: no line at all reads as 0.0.
    {"EmptyFile", true, [] { return std::string(); }, "[all]\r\nfault=rewrite-same\r\n", "0.00 fps"},
    // Binary bytes, zeros and stray line ends among them; the last line has a
    // number in the eleven characters after its first "=".
    {"BinaryThenValue", true,
     [] { return BinaryBytes(256 * 1024, 3) + "\n" + std::string("\x01\x02\xfe\xff= 31.5\x00\x10\x7f", 14); },
     "[all]\r\nfault=rewrite-same\r\n", "31.50 fps"},
    // Zeros before the "=" of the last line do not end the line early.
    {"BinaryWithZerosBeforeTheValue", true,
     [] { return BinaryBytes(64 * 1024, 5) + "\r\n" + std::string("\0\0 = 12.25 fps", 14); },
     "[all]\r\nfault=rewrite-same\r\n", "12.25 fps"},
    {"BinaryWithoutNumber", true,
     [] { return BinaryBytes(64 * 1024, 9) + "\n" + BinaryWithoutNumber(300, 17); },
     "[all]\r\nfault=rewrite-same\r\n", "0.00 fps"},
    {"FiftyMegabytesThenTheNewLine", true, &FiftyMegabytesOfOlderResults, "[all]\r\nfps=47.5\r\n",
     "47.50 fps"},
    // Lines ended by CR alone: in text mode the whole file is one line, whose
    // first "=" belongs to the oldest result. The newest result is the last.
    {"CrOnlyLineEnds", true,
     [] { return EngineLine(11.5, 1) + "\r" + EngineLine(22.5, 2) + "\r" + EngineLine(33.5, 3) + "\r"; },
     "[all]\r\nfault=rewrite-same\r\n", "33.50 fps"},
    {"CrOnlyOlderLinesThenTheGamesLine", true,
     [] { return EngineLine(11.5, 1) + "\r" + EngineLine(22.5, 2) + "\r"; }, "[all]\r\nfps=44.75\r\n",
     "44.75 fps"},
};

class BadLog : public KorvaneTest {
protected:
    void ExpectNormalExit() {
        const std::optional<DWORD> code = ExitKorvane();
        ASSERT_TRUE(code.has_value()) << "Korvane did not end after \"Exit\"";
        EXPECT_EQ(*code, kNormalExitCode);
    }
};

class BadLogValue : public BadLog, public ::testing::WithParamInterface<LogCase> {};

TEST_P(BadLogValue, GivesTheSceneItsValue) {
    const LogCase& test = GetParam();
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    if (test.logBefore) {
        ASSERT_TRUE(WriteTextFile(Demo().LogFile(), test.logBytes()));
    }
    ASSERT_TRUE(WriteStandInSettings(Demo(), test.settings));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1}));

    ULONGLONG resultShownAt = 0;
    RunOutcome outcome;
    {
        const ShowingWatch watch(ResultWindow(), resultShownAt);
        outcome = PressBenchmarkNow(1);
    }
    ASSERT_TRUE(outcome.finished) << outcome;
    ASSERT_TRUE(outcome.resultsShown) << outcome;
    ASSERT_EQ(GameStarts().size(), 1u);

    // From the game's last write to the log (right before it ends) to the result
    // window's showing: Korvane's wait ending, its reading of the log, its pause.
    const std::optional<ULONGLONG> writtenAt = LastWriteTime(Demo().LogFile());
    if (writtenAt && resultShownAt > *writtenAt) {
        const long long beyondMs = static_cast<long long>((resultShownAt - *writtenAt) / 10000) -
                                   static_cast<long long>(kPauseAfterSceneMs);
        std::printf("[ TIMING   ] %s: from the game's last write to the result window, beyond the "
                    "3000 ms pause: %lld ms\n",
                    test.name, beyondMs);
    }

    const DetailsRows rows = OpenDetails();
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[7][1], test.expectedFps) << Scene(0).detailsRow;
    for (std::size_t row = 8; row < rows.size(); ++row) {
        EXPECT_EQ(rows[row][1], "0.00 fps") << rows[row][0] << " never ran";
    }
    EXPECT_EQ(ControlText(ResultWindow(), IDC_RESULT_SCORE), std::optional<std::string>("N/A "));
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

INSTANTIATE_TEST_SUITE_P(BadLog, BadLogValue, ::testing::ValuesIn(kLogCases), CaseName());

TEST_F(BadLog, EmptyLogCountsAsZeroAndLowersTheScore) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteTextFile(Demo().LogFile(), ""));
    // Scenes 1 to 5 at 42, 44, 30, 32 and 34; the first start only touches the empty log.
    ASSERT_TRUE(WriteStandInSettings(Demo(), SettingsSection(1) + "\r\nfps=42\r\n" + SettingsSection(2) +
                                                 "\r\nfps=44\r\n" + SettingsSection(3) + "\r\nfps=30\r\n" +
                                                 SettingsSection(4) + "\r\nfps=32\r\n" + SettingsSection(5) +
                                                 "\r\nfps=34\r\n[start 1]\r\nfault=rewrite-same\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());

    const RunOutcome outcome = PressBenchmarkNow(kSceneCount);
    ASSERT_TRUE(outcome.finished) << outcome;
    ASSERT_TRUE(outcome.resultsShown) << "all six scenes ran, the empty one too";
    // Sum 182: score 182 / 6 * 100 = 3033.3; fly-bys 86 / 3 = 28.67; bot matches 96 / 3 = 32.
    EXPECT_EQ(ControlText(ResultWindow(), IDC_RESULT_SCORE), std::optional<std::string>("3033 "));
    EXPECT_EQ(ControlText(ResultWindow(), IDC_RESULT_FLYBY), std::optional<std::string>("28.67 fps"));
    EXPECT_EQ(ControlText(ResultWindow(), IDC_RESULT_BOTMATCH), std::optional<std::string>("32.00 fps "));
    EXPECT_EQ(OpenDetails(), ExpectedDetailsRows("3033 Korvanes", {"0.00 fps", "42.00 fps", "44.00 fps",
                                                                   "30.00 fps", "32.00 fps", "34.00 fps"}));
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

TEST_F(BadLog, LockedWithoutAnySharingStopsTheRunWithTheFileError) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteTextFile(Demo().LogFile(), EngineLine(40.0, 1) + "\r\n"));
    // The game writes nothing: another program writes the log meanwhile and keeps
    // it locked, so the log has changed but cannot be read.
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[all]\r\nseconds=3\r\nfault=no-write\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1, IDC_MAIN_FLYBY2}));

    LogHolder holder(Demo(), 1, 55.0);
    const RunOutcome outcome = PressBenchmarkNow(1, [&] { holder.Poll(GameStarts().size()); });
    ASSERT_TRUE(holder.Held()) << holder.Problem();
    EXPECT_TRUE(holder.Problem().empty()) << holder.Problem();
    ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
    EXPECT_EQ(outcome.messageBox->caption, kErrorCaption);
    const std::string start = LogUnreadableStart(Demo());
    const std::string& text = outcome.messageBox->text;
    ASSERT_EQ(text.substr(0, start.size()), start) << "the whole text: " << text;
    EXPECT_EQ(text.substr(start.size()), SystemMessage(ERROR_SHARING_VIOLATION));

    ASSERT_TRUE(CloseMessageBox(*outcome.messageBox));
    holder.Release();
    ::Sleep(kPauseAfterSceneMs + 1000);
    EXPECT_EQ(GameStarts().size(), 1u) << "the scene after the error ran";
    EXPECT_FALSE(IsVisible(ResultWindow()));
    EXPECT_TRUE(IsResponsive(Main(), kSendTimeoutMs));
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

TEST_F(BadLog, HeldAgainstReadingWhileTheGameWritesStopsTheRunWithTheFileError) {
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    ASSERT_TRUE(WriteTextFile(Demo().LogFile(), EngineLine(40.0, 1) + "\r\n"));
    ASSERT_TRUE(WriteStandInSettings(Demo(), "[all]\r\nfps=45\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartKorvaneAndWaitForMainWindow());
    ASSERT_NO_FATAL_FAILURE(ChooseScenes({IDC_MAIN_FLYBY1}));

    // Another program reads the log and lets others write it, but not read it.
    KernelHandle held = HoldFile(Demo().LogFile(), GENERIC_READ, FILE_SHARE_WRITE);
    ASSERT_TRUE(held) << "cannot hold the log";
    const RunOutcome outcome = PressBenchmarkNow(1);
    ASSERT_TRUE(outcome.messageBox.has_value()) << outcome;
    EXPECT_EQ(outcome.messageBox->caption, kErrorCaption);
    const std::string start = LogUnreadableStart(Demo());
    const std::string& text = outcome.messageBox->text;
    ASSERT_EQ(text.substr(0, start.size()), start) << "the whole text: " << text;
    EXPECT_EQ(text.substr(start.size()), SystemMessage(ERROR_SHARING_VIOLATION));
    ASSERT_TRUE(CloseMessageBox(*outcome.messageBox));
    held.reset();
    EXPECT_EQ(ReadLogLines(Demo()).size(), 2u) << "the game could not add its line";
    EXPECT_FALSE(IsVisible(ResultWindow()));
    ASSERT_NO_FATAL_FAILURE(ExpectNormalExit());
}

} // namespace
} // namespace e2e
