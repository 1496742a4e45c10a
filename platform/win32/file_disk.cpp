// File operations of loading and saving, on Win32.
#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstring>

#include "platform/platform.h"

namespace {

// The attributes that a save keeps and that a file can be given as it is created. A read-only
// target is refused before anything is written.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr int kNameAttempts = 100;

unsigned g_draw = 0;

// The next of a sequence that differs from process to process and from call to call.
unsigned Draw() {
    if (g_draw == 0) {
        g_draw = GetTickCount() ^ (GetCurrentProcessId() << 16) ^ 0x5bd1e995u;
    }
    g_draw = g_draw * 1103515245u + 12345u;
    return g_draw >> 8;
}

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

// A fresh name beside the target: the target's name with a random suffix, or, where that would
// push the full path over MAX_PATH, a random name no longer than "AIConfig.ai".
void DrawName(const char* target, char (&name)[kFilePathSize]) {
    unsigned suffix = Draw() & 0xFFFFFFu;
    char full[MAX_PATH];
    DWORD fullLength = GetFullPathNameA(target, MAX_PATH, full, nullptr);
    if (fullLength > 0 && fullLength + 7 < MAX_PATH) {
        std::snprintf(name, sizeof name, "%s.%06x", target, suffix);
    } else {
        std::snprintf(name, sizeof name, "%.*s~%06x", static_cast<int>(FolderLength(target)),
                      target, suffix);
    }
}

// The new file's handle as a C stream for writing; the file is removed when that fails.
std::FILE* StreamOf(HANDLE handle, const char* name) {
    int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_WRONLY | _O_BINARY);
    std::FILE* file = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
    if (!file) {
        if (fd >= 0) {
            _close(fd);
        } else {
            CloseHandle(handle);
        }
        DeleteFileA(name);
    }
    return file;
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

std::FILE* CreateFileBeside(const char* target, char (&temporary)[kFilePathSize]) {
    DWORD attributes = GetFileAttributesA(target);
    DWORD kept = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKeptAttributes;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        DrawName(target, temporary);
        // CREATE_NEW fails where anything is there already: nothing planted is ever opened.
        HANDLE handle = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return StreamOf(handle, temporary);
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return nullptr;
        }
    }
    return nullptr;
}

bool FlushFileToDisk(std::FILE* file) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool RenameOverFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
