// Files replaced whole, files read whole, and which names are one file.
#include "cli/run/Files.h"

#include <vector>

#include "framework/Format.h"
#include "framework/Handles.h"
#include "framework/SystemError.h"

namespace cli {

namespace {

constexpr char kPendingSuffix[] = ".korvane-new";

std::string LastErrorText() {
    return framework::SystemErrorText(::GetLastError());
}

// The file's volume and index, when it exists and can be asked.
std::optional<std::pair<DWORD, ULONGLONG>> IdentityOf(const std::string& path) {
    const framework::UniqueFile file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || !::GetFileInformationByHandle(file.get(), &information)) {
        return std::nullopt;
    }
    return std::make_pair(information.dwVolumeSerialNumber,
                          (static_cast<ULONGLONG>(information.nFileIndexHigh) << 32) |
                              information.nFileIndexLow);
}

std::string FoldedCase(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c == '/' ? '\\' : c;
    }
    return text;
}

} // namespace

std::string PendingPathFor(const std::string& path) {
    return path + kPendingSuffix;
}

bool ReplaceFile(const std::string& path, const std::string& text, std::string& problem,
                 const FileCalls& calls) {
    const std::string pending = PendingPathFor(path);
    {
        framework::UniqueFile file(::CreateFileA(pending.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            problem = LastErrorText();
            return false;
        }
        for (std::size_t done = 0; done < text.size();) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
            if (!calls.writeFile(file.get(), text.data() + done, chunk, &written, nullptr) || written == 0) {
                problem = LastErrorText();
                file.reset();
                ::DeleteFileA(pending.c_str());
                return false;
            }
            done += written;
        }
        if (!::FlushFileBuffers(file.get())) {
            problem = LastErrorText();
            file.reset();
            ::DeleteFileA(pending.c_str());
            return false;
        }
    }
    if (calls.moveFileEx(pending.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        problem = LastErrorText();
        ::DeleteFileA(pending.c_str());
        return false;
    }
    // Windows 98 and ME: the old file goes first, then the new one takes its name.
    if (!::DeleteFileA(path.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
        problem = LastErrorText();
        ::DeleteFileA(pending.c_str());
        return false;
    }
    if (!::MoveFileA(pending.c_str(), path.c_str())) {
        problem = LastErrorText();
        return false;
    }
    return true;
}

bool CanReplace(const std::string& path, std::string& problem) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            problem = "it is a folder";
            return false;
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            problem = "it is read-only";
            return false;
        }
        // Opened for writing and closed again at once: its bytes stay as they are.
        const framework::UniqueFile existing(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!existing) {
            problem = LastErrorText();
            return false;
        }
    }
    const std::string pending = PendingPathFor(path);
    framework::UniqueFile trial(::CreateFileA(pending.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!trial) {
        problem = LastErrorText();
        return false;
    }
    trial.reset();
    ::DeleteFileA(pending.c_str());
    return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                         std::string& problem) {
    const framework::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        problem = "no such file, or it cannot be read";
        return std::nullopt;
    }
    std::string text;
    std::vector<char> buffer(std::size_t{1} << 16);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            problem = "no such file, or it cannot be read";
            return std::nullopt;
        }
        if (read == 0) {
            return text;
        }
        text.append(buffer.data(), read);
        if (text.size() > maxBytes) {
            problem = framework::Format("it is larger than any report (%zu MiB)", maxBytes >> 20);
            return std::nullopt;
        }
    }
}

std::string FullPath(const std::string& path) {
    std::vector<char> full(32768, '\0');
    char* name = nullptr;
    const DWORD length =
        ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), &name);
    return length > 0 && length < full.size() ? std::string(full.data(), length) : path;
}

FileKey KeyOf(const std::string& path) {
    return {IdentityOf(path), FoldedCase(FullPath(path))};
}

bool SameFile(const FileKey& a, const FileKey& b) {
    if (a.identity && b.identity) {
        return *a.identity == *b.identity;
    }
    return a.foldedPath == b.foldedPath;
}

bool SameFile(const std::string& a, const std::string& b) {
    return SameFile(KeyOf(a), KeyOf(b));
}

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace cli
