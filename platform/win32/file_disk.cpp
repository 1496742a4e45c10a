// File operations of loading and saving, on Win32.
#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace {

// The attributes that a save keeps and that a file can be given as it is created. A read-only
// target is refused before anything is written.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// A day in the 100-nanosecond units of a FILETIME.
constexpr std::uint64_t kDay = 24ull * 60 * 60 * 10000000;
// How long a save waits for another one's lock, in steps of kLockPause milliseconds.
constexpr int kLockTries = 500;
constexpr DWORD kLockPause = 10;
// The byte that saves lock, far beyond any settings file: a lock on Windows keeps others from
// the bytes it covers, and the game must go on reading the file.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

// The length of the path's folder part, its last separator included; 0 when it has none.
std::size_t FolderLength(const char* path) {
    std::size_t folder = 0;
    for (std::size_t i = 0; path[i]; ++i) {
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':') {
            folder = i + 1;
        }
    }
    return folder;
}

// The handle as a C stream for writing, and reading where asked; the handle is closed when that
// fails.
std::FILE* StreamOf(HANDLE handle, bool reading) {
    int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle),
                             (reading ? _O_RDWR : _O_WRONLY) | _O_BINARY);
    std::FILE* file = fd >= 0 ? _fdopen(fd, reading ? "r+b" : "wb") : nullptr;
    if (!file) {
        if (fd >= 0) {
            _close(fd);
        } else {
            CloseHandle(handle);
        }
    }
    return file;
}

bool IsDayOld(const FILETIME& time) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& t) {
        return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return ticks(now) > ticks(time) + kDay;
}

}  // namespace

std::FILE* OpenForReading(const char* path) {
    // The C library already refuses a folder here.
    return std::fopen(path, "rb");
}

bool FindSaveTarget(const char* path, char (&target)[kFilePathSize]) {
    std::size_t length = std::strlen(path);
    if (length >= kFilePathSize) {
        return false;
    }
    std::memcpy(target, path, length + 1);
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

bool HasOtherNames(const char* target) {
    // A link at the name would be replaced by the new file rather than lead to it.
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return true;
    }
    HANDLE handle = CreateFileA(target, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    bool others = GetFileInformationByHandle(handle, &info) && info.nNumberOfLinks > 1;
    CloseHandle(handle);
    return others;
}

std::FILE* CreateNewFile(const char* path, const char* target, NewFile kind, Made* made) {
    (void)kind;  // a new file has what the folder gives it; the rename keeps the target's own
    DWORD attributes = GetFileAttributesA(target);
    DWORD kept = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKeptAttributes;
    // CREATE_NEW fails where anything is there already: nothing planted is ever opened.
    HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        *made = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Made::kTaken
                : error == ERROR_ACCESS_DENIED || error == ERROR_FILENAME_EXCED_RANGE
                    ? Made::kRefused
                    : Made::kFailed;
        return nullptr;
    }
    std::FILE* file = StreamOf(handle, false);
    *made = file ? Made::kDone : Made::kFailed;
    if (!file) {
        DeleteFileA(path);
    }
    return file;
}

std::FILE* OpenInPlace(const char* target) {
    // Others may go on reading and writing it, as with the C library's own open.
    HANDLE handle =
        CreateFileA(target, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    OVERLAPPED at = {};
    at.OffsetHigh = kLockOffsetHigh;
    bool locked = false;
    for (int tries = 0; GetFileType(handle) == FILE_TYPE_DISK && !locked && tries <= kLockTries;
         ++tries) {
        locked =
            LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
        if (!locked) {
            Sleep(kLockPause);
        }
    }
    if (!locked) {
        CloseHandle(handle);
        return nullptr;
    }
    // Closing the stream closes the handle, which lets the lock go.
    return StreamOf(handle, true);
}

bool CutFile(std::FILE* file, long length) {
    return _chsize(_fileno(file), length) == 0;
}

bool FlushFileToDisk(std::FILE* file) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    // Some file systems cannot flush at all, and say so.
    DWORD error = FlushFileBuffers(handle) ? ERROR_SUCCESS : GetLastError();
    return error == ERROR_SUCCESS || error == ERROR_INVALID_FUNCTION ||
           error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER;
}

bool FlushFolderToDisk(const char*) {
    // A folder cannot be flushed as a file can; the file system keeps its entries in its log.
    return true;
}

Made RenameOverFile(const char* from, const char* to) {
    // ReplaceFileA keeps what the old file has: its access control list, owner, attributes and
    // streams, which a file moved over it would not. It is given a name for the old file beside
    // the new one, so that it makes no temporary file of its own: Wine's would stay behind where
    // the replace is refused, and cannot be made beside a relative path.
    char old[kFilePathSize];
    if (std::snprintf(old, sizeof old, "%s-old", from) >= int{sizeof old}) {
        return Made::kFailed;
    }
    if (GetFileAttributesA(to) != INVALID_FILE_ATTRIBUTES) {
        if (ReplaceFileA(to, from, old, 0, nullptr, nullptr)) {
            DeleteFileA(old);
            return Made::kDone;
        }
        DWORD error = GetLastError();
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            // The old file went to the other name and the new one did not come: it goes back.
            MoveFileExA(old, to, MOVEFILE_WRITE_THROUGH);
            return Made::kFailed;
        }
        // Nothing changed: someone else's file, or one open without sharing.
        if (error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_ACCESS_DENIED ||
            error == ERROR_SHARING_VIOLATION) {
            return Made::kRefused;
        }
        // Nothing changed either, or a file system that cannot replace: the new one moves in as
        // before. Else the save fails.
        if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT && error != ERROR_INVALID_FUNCTION &&
            error != ERROR_NOT_SUPPORTED && error != ERROR_CALL_NOT_IMPLEMENTED) {
            return Made::kFailed;
        }
    }
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Made::kDone;
    }
    return GetLastError() == ERROR_ACCESS_DENIED ? Made::kRefused : Made::kFailed;
}

void RemoveLeftoversBeside(const char* target) {
    std::size_t folder = FolderLength(target);
    char pattern[kFilePathSize];
    if (std::snprintf(pattern, sizeof pattern, "%s.*", target) >= int{sizeof pattern}) {
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    do {
        char path[kFilePathSize];
        if (IsBesideName(found.cFileName, target + folder) &&
            (found.dwFileAttributes & kNotPlain) == 0 && IsDayOld(found.ftLastWriteTime) &&
            std::snprintf(path, sizeof path, "%.*s%s", static_cast<int>(folder), target,
                          found.cFileName) < int{sizeof path}) {
            DeleteFileA(path);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
