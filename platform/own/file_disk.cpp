// File operations of the own layer, on POSIX.
#include <stdio.h>
#include <unistd.h>

#include "platform/platform.h"

bool FlushFileToDisk(std::FILE* file) {
    return fsync(fileno(file)) == 0;
}

BOOL MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags) {
    // rename() replaces an existing target in one step; without the flag the platform refuses.
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && access(replacement, F_OK) == 0) {
        return FALSE;
    }
    return std::rename(existing, replacement) == 0 ? TRUE : FALSE;
}

BOOL DeleteFileA(LPCSTR path) {
    return unlink(path) == 0 ? TRUE : FALSE;
}
