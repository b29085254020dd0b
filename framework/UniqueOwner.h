// A move-only owner of one handle. The traits say which value means "none" and
// how a handle is closed, so the same template owns kernel handles, registry
// keys, GDI objects and modules. Platform-free; the Win32 traits live in Handles.h.
#pragma once

#include <utility>

namespace framework {

template <typename Traits> class UniqueOwner {
public:
    using Handle = typename Traits::Handle;

    UniqueOwner() noexcept = default;
    explicit UniqueOwner(Handle handle) noexcept : handle_(handle) {}
    ~UniqueOwner() { reset(); }

    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    UniqueOwner(UniqueOwner&& other) noexcept : handle_(other.release()) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }

    // Gives up ownership without closing.
    Handle release() noexcept { return std::exchange(handle_, Traits::Empty()); }

    // Closes the owned handle, if any, and takes `handle`.
    void reset(Handle handle = Traits::Empty()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::Empty()) {
            Traits::Close(old);
        }
    }

    // Closes the owned handle and hands out the slot for a function that returns one.
    Handle* put() noexcept {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Empty();
};

} // namespace framework
