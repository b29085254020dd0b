// The animated banner's frame order: which picture the next paint draws after a
// restart and after each timer tick. Platform-free, so it is tested on its own.
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

// The banner's index as its timer moves it: Restart when the timer is started,
// Tick on each timer message.
class BannerFrameSequence {
public:
    explicit constexpr BannerFrameSequence(int count) noexcept : count_(count) {}

    constexpr void Restart() noexcept { current_ = kFirstBannerFrame; }
    constexpr void Tick() noexcept { current_ = NextFrame(current_, count_); }
    constexpr int Current() const noexcept { return current_; }

private:
    int count_;
    int current_ = kFirstBannerFrame;
};

} // namespace ui
