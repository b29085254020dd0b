// The files korvane-cli reads and writes. A file it writes is replaced whole:
// the text goes to a temporary file beside it, is flushed to the disk and only
// then put in its place, so the named file is never found empty, cut short or
// mixed. Win32.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

namespace cli {

// The system calls that put a written file in place: the system's own, or a
// test's (Windows 98 and ME export MoveFileExA but fail it with
// ERROR_CALL_NOT_IMPLEMENTED; a full disk fails WriteFile).
struct FileCalls {
    BOOL(WINAPI* moveFileEx)(LPCSTR from, LPCSTR to, DWORD flags) = ::MoveFileExA;
    BOOL(WINAPI* writeFile)
    (HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) = ::WriteFile;
};

// The temporary file a new text for `path` is written to: `path` + ".korvane-new".
// On Windows 98 and ME a crash between deleting the old file and renaming this
// one leaves it alone, whole; --resume takes it from there.
std::string PendingPathFor(const std::string& path);

// Puts `text` in the place of the file at `path`, which need not exist: written
// to PendingPathFor(path), flushed, then moved over it (MoveFileExA, replacing
// and writing through; where that is not implemented, the old file is deleted
// and the new one renamed). False, with the system's reason in `problem`, when
// it could not; the old file is then as it was (but for a failed rename after
// the delete, which leaves the whole new text in the pending file).
bool ReplaceFile(const std::string& path, const std::string& text, std::string& problem,
                 const FileCalls& calls = FileCalls());

// Whether a file can be put at `path`, found without changing any file there: its
// folder takes a new file, and it is no folder, not read-only and not held open
// by another program against writing. False, with the reason, when not.
bool CanReplace(const std::string& path, std::string& problem);

// The file's bytes, at most `maxBytes` of them; none, with what is wrong in
// `problem`, when it cannot be read or is larger.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& problem);

// `path` made full (GetFullPathNameA); as it is when the system cannot.
std::string FullPath(const std::string& path);

// What tells a file from others: its volume and file index when it exists and
// can be asked, and its full path in one case of its letters.
struct FileKey {
    std::optional<std::pair<DWORD, ULONGLONG>> identity;
    std::string foldedPath;
};
FileKey KeyOf(const std::string& path);

// True when the keys name one file: the same volume and file index where both
// exist, the same full path in any case of its letters otherwise.
bool SameFile(const FileKey& a, const FileKey& b);
bool SameFile(const std::string& a, const std::string& b);

bool FileExists(const std::string& path);

} // namespace cli
