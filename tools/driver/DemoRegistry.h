// The demo's registry key, HKLM\SOFTWARE\UNREAL TECHNOLOGY\INSTALLED APPS\UT2003DEMO,
// in the 32-bit view where the demo's 32-bit installer puts it: creating,
// changing and deleting it, and putting back what was there before a test.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace driver {

constexpr char kDemoKeyPath[] = "SOFTWARE\\UNREAL TECHNOLOGY\\INSTALLED APPS\\UT2003DEMO";
constexpr char kDemoFolderValue[] = "Folder";

// Each returns false (and leaves a reason in `error` when given) on failure.
namespace demo_key {
// Deletes the key with its values; succeeds when the key was not there.
bool Delete(std::string* error = nullptr);
// Creates the key (and the keys above it); succeeds when it is already there.
bool Create(std::string* error = nullptr);
// Creates the key if needed and sets "Folder" to `folder` as a REG_SZ.
bool SetFolder(const std::string& folder, std::string* error = nullptr);
// Creates the key if needed and sets "Folder" to exactly `bytes` (no terminating
// zero is added) with the value type `type`.
bool SetFolderData(DWORD type, const std::string& bytes, std::string* error = nullptr);
// Creates the key if needed and sets "Folder" to `value` as a REG_DWORD.
bool SetFolderNumber(DWORD value, std::string* error = nullptr);
// Deletes only the value "Folder"; succeeds when it was not there.
bool DeleteFolderValue(std::string* error = nullptr);
// True when the key exists.
bool Exists();
// The same key in the 64-bit view, where the demo's 32-bit installer never puts
// it: a 64-bit program that reads that view finds it. Sets "Folder" there.
bool SetFolderIn64BitView(const std::string& folder, std::string* error = nullptr);
// Deletes the key in the 64-bit view; succeeds when it was not there.
bool DeleteIn64BitView(std::string* error = nullptr);
} // namespace demo_key

// One value of the key as it was read.
struct RegistryValue {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// The key's state when the object was made: whether it existed and all its
// values. Restore() (also run by the destructor) puts exactly that back.
class DemoKeySnapshot {
public:
    DemoKeySnapshot();
    ~DemoKeySnapshot() { Restore(); }
    DemoKeySnapshot(const DemoKeySnapshot&) = delete;
    DemoKeySnapshot& operator=(const DemoKeySnapshot&) = delete;

    // False when the key could not be read completely or has subkeys, which a
    // test must not delete: then the test must leave the key alone.
    bool IsUsable() const noexcept { return usable_; }
    const std::string& Problem() const noexcept { return problem_; }
    bool Existed() const noexcept { return existed_; }
    const std::vector<RegistryValue>& Values() const noexcept { return values_; }

    bool Restore(std::string* error = nullptr);

    // The state as text, for SaveDemoKeyState below.
    std::string Serialized() const;

private:
    bool usable_ = false;
    bool existed_ = false;
    bool restored_ = false;
    std::string problem_;
    std::vector<RegistryValue> values_;
};

// Puts the key into a state: deleted, or existing with exactly `values`.
bool ApplyDemoKeyState(bool exists, const std::vector<RegistryValue>& values, std::string* error = nullptr);

// A snapshot kept on disk while a test changes the key, so that a run that is
// killed halfway (a time-out) can be repaired by the next one.
bool SaveDemoKeyState(const DemoKeySnapshot& snapshot, const std::string& path);
// Applies the state saved in `path`, then deletes the file. True when there was
// nothing to repair or the repair worked.
bool RestoreSavedDemoKeyState(const std::string& path, std::string* error = nullptr);

} // namespace driver
