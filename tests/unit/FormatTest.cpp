// printf-style formatting: the formats the windows use, at their rounding edges.
#include <gtest/gtest.h>

#include <string>

#include "framework/Format.h"

namespace {

using framework::Format;

TEST(FormatTest, RoundsHalfToEvenOnExactBinaryValues) {
    EXPECT_EQ(Format("%1.0f ", 0.5), "0 ");
    EXPECT_EQ(Format("%1.0f ", 1.5), "2 ");
    EXPECT_EQ(Format("%1.0f ", 2.5), "2 ");
    EXPECT_EQ(Format("%1.2f fps", 0.125), "0.12 fps");
    EXPECT_EQ(Format("%1.2f fps", 0.375), "0.38 fps");
}

TEST(FormatTest, FormatsLargeAndNegativeValues) {
    EXPECT_EQ(Format("%1.0f ", 1e20), "100000000000000000000 ");
    EXPECT_EQ(Format("%1.2f MHz", -0.001), "-0.00 MHz");
    EXPECT_EQ(Format("%dk L1, %dk L2", 16, -1), "16k L1, -1k L2");
}

TEST(FormatTest, LongResultIsNotCut) {
    const std::string text(5000, 'a');
    EXPECT_EQ(Format("%s!", text.c_str()).size(), 5001u);
}

TEST(FormatTest, EmptyResult) {
    EXPECT_EQ(Format("%s", ""), "");
}

} // namespace
