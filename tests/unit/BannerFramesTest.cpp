// The banner's frame order: the next frame after each index, the cycle after a
// restart, and a restart in the middle of a cycle.
#include <gtest/gtest.h>

#include <vector>

#include "ui/BannerFrames.h"

namespace {

struct NextFrameCase {
    const char* name;
    int current;
    int count;
    int expected;
};

const NextFrameCase kNextFrameCases[] = {
    {"first of two moves to second", 0, 2, 1},
    {"second of two wraps to first", 1, 2, 0},
    {"only frame stays", 0, 1, 0},
    {"middle of three moves on", 1, 3, 2},
    {"last of three wraps to first", 2, 3, 0},
};

TEST(BannerFramesTest, NextFrame) {
    for (const auto& c : kNextFrameCases) {
        EXPECT_EQ(ui::NextFrame(c.current, c.count), c.expected) << c.name;
    }
}

// A script of what happens to the banner: 'R' a restart (StartTimer), 'T' a timer
// tick. `expected` is the frame that the next paint draws after each step.
struct SequenceCase {
    const char* name;
    int count;
    const char* steps;
    std::vector<int> expected;
};

const SequenceCase kSequenceCases[] = {
    {"two frames alternate from the first", 2, "RTTTTT", {0, 1, 0, 1, 0, 1}},
    {"one frame is always the first", 1, "RTTTT", {0, 0, 0, 0, 0}},
    {"three frames cycle in order", 3, "RTTTTT", {0, 1, 2, 0, 1, 2}},
    {"restart on the second frame goes back, next tick shows the second", 2, "RTRT", {0, 1, 0, 1}},
    {"restart on the first frame keeps it, next tick shows the second", 2, "RTTRT", {0, 1, 0, 0, 1}},
    {"restart in the middle of three", 3, "RTTRTT", {0, 1, 2, 0, 1, 2}},
    {"two restarts in a row", 2, "RTRRT", {0, 1, 0, 0, 1}},
};

TEST(BannerFramesTest, SequenceOfRestartsAndTicks) {
    for (const auto& c : kSequenceCases) {
        ui::BannerFrameSequence sequence(c.count);
        std::vector<int> shown;
        for (const char* step = c.steps; *step != '\0'; ++step) {
            if (*step == 'R') {
                sequence.Restart();
            } else {
                sequence.Tick();
            }
            shown.push_back(sequence.Current());
        }
        EXPECT_EQ(shown, c.expected) << c.name;
    }
}

TEST(BannerFramesTest, StartsOnTheFirstFrame) {
    const ui::BannerFrameSequence sequence(2);
    EXPECT_EQ(sequence.Current(), 0);
}

} // namespace
