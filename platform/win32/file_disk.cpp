// File operations that the C library lacks, on Win32.
#include <io.h>

#include "platform/platform.h"

bool FlushFileToDisk(std::FILE* file) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}
