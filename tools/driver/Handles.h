// Move-only owners of the handles the driver holds: kernel objects, registry keys
// and memory reserved in another process.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

namespace driver {

// The program's own owner template and traits serve the driver too.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { ::FindClose(handle); }
};

using KernelHandle = framework::UniqueHandle;
using FindHandle = framework::UniqueOwner<FindHandleTraits>;
// A tool-help snapshot: INVALID_HANDLE_VALUE means none, CloseHandle closes it.
using SnapshotHandle = framework::UniqueOwner<framework::FileHandleTraits>;
using RegistryKey = framework::UniqueRegistryKey;

// Memory reserved in another process with VirtualAllocEx, released with it.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, SIZE_T bytes) noexcept
        : process_(process),
          address_(::VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteMemory() {
        if (address_ != nullptr) {
            ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    explicit operator bool() const noexcept { return address_ != nullptr; }
    // The address as the other process sees it, `offset` bytes in.
    void* At(SIZE_T offset) const noexcept { return static_cast<char*>(address_) + offset; }

private:
    HANDLE process_;
    void* address_;
};

} // namespace driver
