// The tests' own account of the game's command lines, checked against the
// documented example before it judges Korvane's lines.
#include <gtest/gtest.h>

#include "GameLines.h"

namespace e2e {
namespace {

TEST(ExpectedLines, MatchTheDocumentedExample) {
    const std::string line = ExpectedGameLine("D:\\Games\\UT2003Demo", "D:\\Tools\\Bench", 0,
                                              {Renderer::OpenGL, Detail::High, "1024x768"});
    EXPECT_EQ(line,
              "D:\\Games\\UT2003Demo\\system\\UT2003.exe dm-antalus?game=engine.gameinfo -benchmark "
              "-seconds=77 -exec=..\\Benchmark\\Stuff\\flybyexec.txt ini=D:\\Tools\\Bench\\MaxDetailOGL.ini "
              "userini=..\\Benchmark\\Stuff\\MaxDetailUser.ini -nosound -UPT -1024x768");
    EXPECT_EQ(line.size(), 236u);
}

TEST(ExpectedLines, LongestScenesLeave46CharactersForBothFolders) {
    // Bot matches 2 and 3 at 1600x1200 with both folders empty.
    for (const int index : {4, 5}) {
        EXPECT_EQ(ExpectedGameLine("", "", index, {Renderer::Direct3D, Detail::Low, "1600x1200"}).size(),
                  279u - 46u);
    }
}

} // namespace
} // namespace e2e
