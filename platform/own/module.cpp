// The program's module: its handle, its path (the system's, unless the module-path hook names
// another), the current directory, the last error, and the stock icon and cursor.
#include <unistd.h>

#include <cstring>
#include <string>
#include <utility>

#include "platform/own/headless.h"
#include "platform/own/hooks.h"
#include "platform/posix/program_file.h"

namespace own {
namespace {

DWORD g_lastError = ERROR_SUCCESS;
ModulePathHook g_pathHook = nullptr;
// Distinct addresses for the handles that only need to be non-null and recognisable.
char g_module;
char g_icon;
char g_cursor;

std::string ModulePath() {
    if (g_pathHook) {
        const char* path = g_pathHook();
        if (path && *path)
            return path;
    }
    return ProgramFilePath();
}

}  // namespace

ModulePathHook SetModulePathHook(ModulePathHook hook) {
    return std::exchange(g_pathHook, hook);
}

HINSTANCE ProgramInstance() {
    return reinterpret_cast<HINSTANCE>(&g_module);
}

}  // namespace own

DWORD GetLastError() {
    return own::g_lastError;
}
void SetLastError(DWORD error) {
    own::g_lastError = error;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    if (module && module != own::ProgramInstance()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string path = own::ModulePath();
    if (path.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // As documented: a path that does not fit is cut to size - 1 characters and terminated, the
    // result is the buffer's size and the last error says the buffer was too small.
    bool fits = path.size() < size;
    std::size_t length = fits ? path.size() : size - 1;
    std::memcpy(buffer, path.data(), length);
    buffer[length] = '\0';
    SetLastError(fits ? ERROR_SUCCESS : ERROR_INSUFFICIENT_BUFFER);
    return fits ? static_cast<DWORD>(length) : size;
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
    if (!path || chdir(path) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

HICON LoadIconA(HINSTANCE, LPCSTR name) {
    if (name != IDI_APPLICATION)
        return nullptr;
    return reinterpret_cast<HICON>(&own::g_icon);
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) {
    if (name != IDC_ARROW)
        return nullptr;
    return reinterpret_cast<HCURSOR>(&own::g_cursor);
}
