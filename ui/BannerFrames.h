// The animated banner's frame order: the frame a restart goes back to and the one
// each timer tick moves on to. Platform-free, so it is tested on its own.
#pragma once

namespace ui {

// The frame a restart goes back to.
constexpr int kFirstBannerFrame = 0;

// The frame after `current` in a list of `count` frames (count at least 1): one
// step on, back to the first after the last. A signed remainder, as the banner
// keeps its index in an int.
constexpr int NextFrame(int current, int count) noexcept {
    return (current + 1) % count;
}

} // namespace ui
