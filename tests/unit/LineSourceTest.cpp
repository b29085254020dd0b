// Line splitting: terminators, last lines, empty lines, chunk boundaries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/LineSource.h"

namespace {

std::vector<std::string> AllLines(framework::LineSource& source) {
    std::vector<std::string> lines;
    std::string line = "sentinel";
    while (source.ReadLine(line)) {
        lines.push_back(line);
    }
    EXPECT_EQ(line, "") << "the line is empty at the end";
    return lines;
}

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

const SplitCase kSplitCases[] = {
    {"Empty", "", {}},
    {"OneLineWithoutTerminator", "abc", {"abc"}},
    {"LfLines", "a\nb\n", {"a", "b"}},
    {"CrLfLines", "a\r\nb\r\n", {"a", "b"}},
    {"MixedTerminators", "a\r\nb\nc", {"a", "b", "c"}},
    {"EmptyLastLine", "x = 1\n\n", {"x = 1", ""}},
    {"OnlyTerminators", "\n\r\n", {"", ""}},
    {"LoneCrStaysInLine", "a\rb\n", {"a\rb"}},
    {"DoubleCrKeepsOne", "a\r\r\n", {"a\r"}},
    {"CrAtEndWithoutLfStays", "a\nb\r", {"a", "b\r"}},
    {"TrailingBlankKept", "[1,0x6A] \n", {"[1,0x6A] "}},
    {"NulBytesKept", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
};

class LineSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineSplitTest, SplitsAsTextMode) {
    const SplitCase& c = GetParam();
    framework::TextLineSource source(c.text);
    EXPECT_EQ(AllLines(source), c.lines);
}

TEST_P(LineSplitTest, SameLinesWithOneByteChunks) {
    const SplitCase& c = GetParam();
    std::size_t offset = 0;
    framework::ChunkLineReader reader(
        [&](char* buffer, std::size_t size) {
            if (offset >= c.text.size() || size == 0) {
                return std::size_t{0};
            }
            buffer[0] = c.text[offset++];
            return std::size_t{1};
        },
        1);
    EXPECT_EQ(AllLines(reader), c.lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineSplitTest, ::testing::ValuesIn(kSplitCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(LineSourceTest, CrLfSplitAcrossChunksIsOneTerminator) {
    const std::string text = "first\r\nsecond";
    std::size_t offset = 0;
    framework::ChunkLineReader reader(
        [&](char* buffer, std::size_t size) {
            std::size_t count = 0;
            while (count < size && offset < text.size()) {
                buffer[count++] = text[offset++];
            }
            return count;
        },
        6); // "first\r" | "\nsecon" | "d"
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "first");
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "second");
    EXPECT_FALSE(reader.ReadLine(line));
}

TEST(LineSourceTest, LongLineIsReadWhole) {
    const std::string longLine(300000, 'x');
    framework::TextLineSource source(longLine + "\nend");
    std::string line;
    ASSERT_TRUE(source.ReadLine(line));
    EXPECT_EQ(line.size(), longLine.size());
    ASSERT_TRUE(source.ReadLine(line));
    EXPECT_EQ(line, "end");
}

TEST(LineSourceTest, ReadErrorPropagates) {
    framework::ChunkLineReader reader(
        [](char*, std::size_t) -> std::size_t { throw std::runtime_error("disk"); });
    std::string line;
    EXPECT_THROW(reader.ReadLine(line), std::runtime_error);
}

} // namespace
