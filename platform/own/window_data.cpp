// What a window holds and how it is placed: its rectangles, window longs and extra bytes, text,
// control id, and the lookups by id.
#include <algorithm>
#include <cstring>

#include "platform/own/window.h"

namespace own {
namespace {

// The style that a window long's index names, if it names one.
DWORD* StyleField(Window& w, int index) {
    if (index == GWL_STYLE)
        return &w.style;
    return index == GWL_EXSTYLE ? &w.exStyle : nullptr;
}

// The pointer-sized field of the extra bytes at index; null, with the last error set, when the
// extra bytes hold none there.
unsigned char* ExtraField(Window& w, int index) {
    if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w.extra.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return w.extra.data() + index;
}

}  // namespace

RECT NonClientFrame(DWORD style, DWORD exStyle) {
    int frame = 0;
    if (style & WS_THICKFRAME) {
        frame = 4;
    } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        frame = kFrameWidth;
    } else if (style & WS_BORDER) {
        frame = 1;
    }
    int caption = (style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight + kCaptionLine : 0;
    return RECT{frame, frame + caption, frame, frame};
}

RECT ClientRectOf(const RECT& r, DWORD style, DWORD exStyle) {
    RECT nc = NonClientFrame(style, exStyle);
    return RECT{r.left + nc.left, r.top + nc.top, std::max(r.left + nc.left, r.right - nc.right),
                std::max(r.top + nc.top, r.bottom - nc.bottom)};
}

RECT MovedTo(const RECT& r, const RECT& origin) {
    return RECT{r.left + origin.left, r.top + origin.top, r.right + origin.left,
                r.bottom + origin.top};
}

RECT ScreenWindowRect(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return RECT{};
    return w->parent ? MovedTo(w->rect, ScreenClientRect(w->parent)) : w->rect;
}

RECT ScreenClientRect(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    return w ? ClientRectOf(ScreenWindowRect(hwnd), w->style, w->exStyle) : RECT{};
}

HWND TopLevelOf(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    while (w && w->parent)
        w = FindWindowRecord(w->parent);
    return w ? w->handle : nullptr;
}

}  // namespace own

using own::CheckedWindow;
using own::FindWindowRecord;
using own::Window;

HWND GetParent(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    return w ? w->parent : nullptr;
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* w = CheckedWindow(dialog);
    if (!w)
        return nullptr;
    for (HWND child : w->children) {
        if (FindWindowRecord(child)->id == id)
            return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    return w ? w->id : 0;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
    Window* w = CheckedWindow(hwnd);
    if (!w)
        return 0;
    if (DWORD* style = own::StyleField(*w, index))
        return static_cast<LONG>(*style);
    LONG_PTR value = 0;
    if (unsigned char* field = own::ExtraField(*w, index))
        std::memcpy(&value, field, sizeof value);
    return value;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    Window* w = CheckedWindow(hwnd);
    if (!w)
        return 0;
    LONG_PTR old = GetWindowLongPtrA(hwnd, index);
    if (DWORD* style = own::StyleField(*w, index))
        *style = static_cast<DWORD>(value);
    else if (unsigned char* field = own::ExtraField(*w, index))
        std::memcpy(field, &value, sizeof value);
    return old;
}

LONG GetWindowLongA(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!CheckedWindow(hwnd))
        return FALSE;
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(buffer)));
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    if (!FindWindowRecord(hwnd) || !rect)
        return FALSE;
    RECT r = own::ScreenClientRect(hwnd);
    *rect = RECT{0, 0, r.right - r.left, r.bottom - r.top};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    if (!FindWindowRecord(hwnd) || !rect)
        return FALSE;
    *rect = own::ScreenWindowRect(hwnd);
    return TRUE;
}

BOOL PtInRect(const RECT* rect, POINT p) {
    return rect && p.x >= rect->left && p.x < rect->right && p.y >= rect->top && p.y < rect->bottom;
}
