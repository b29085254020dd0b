// Time-outs: every wait of the driver ends, at the latest, when its deadline passes.
#pragma once

#include <windows.h>

namespace driver {

class Deadline {
public:
    explicit Deadline(DWORD timeoutMs) noexcept : end_(::GetTickCount64() + timeoutMs) {}
    bool Expired() const noexcept { return ::GetTickCount64() >= end_; }
    DWORD RemainingMs() const noexcept {
        const ULONGLONG now = ::GetTickCount64();
        return now >= end_ ? 0 : static_cast<DWORD>(end_ - now);
    }

private:
    ULONGLONG end_;
};

// Polls `condition` every `pollMs` until it holds (true) or `timeoutMs` have passed (false).
template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs, DWORD pollMs = 50) {
    const Deadline deadline(timeoutMs);
    for (;;) {
        if (condition()) {
            return true;
        }
        if (deadline.Expired()) {
            return false;
        }
        ::Sleep(pollMs);
    }
}

// Milliseconds since an arbitrary start, for measuring how long something took.
inline ULONGLONG NowMs() noexcept {
    return ::GetTickCount64();
}

} // namespace driver
