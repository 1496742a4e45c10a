// Invalid regions and WM_PAINT. A window only remembers that it wants painting (the layer draws
// nothing); the queue hands out WM_PAINT for it once nothing else is waiting, parents before
// their children, and BeginPaint satisfies it.
#include "platform/own/paint.h"
#include "platform/own/window.h"

namespace own {
namespace {

HWND FindInTree(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    if (!w || !(w->style & WS_VISIBLE))
        return nullptr;
    if (w->updatePending)
        return hwnd;
    for (HWND child : w->children) {
        if (HWND found = FindInTree(child))
            return found;
    }
    return nullptr;
}

}  // namespace

HWND FindWindowToPaint() {
    for (HWND top : TopLevelWindows()) {
        if (HWND found = FindInTree(top))
            return found;
    }
    return nullptr;
}

void InvalidateTree(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    if (!w || !IsWindowVisible(hwnd))
        return;
    w->updatePending = true;
    w->eraseNeeded = true;
    for (HWND child : w->children)
        InvalidateTree(child);
}

}  // namespace own

using own::FindWindowRecord;

BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL erase) {
    if (!hwnd) {
        for (HWND top : own::TopLevelWindows())
            own::InvalidateTree(top);
        return TRUE;
    }
    own::Window* w = own::CheckedWindow(hwnd);
    if (!w)
        return FALSE;
    // A window that is not on screen has no visible region to invalidate.
    if (!IsWindowVisible(hwnd))
        return TRUE;
    w->updatePending = true;
    if (erase)
        w->eraseNeeded = true;
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    own::Window* w = FindWindowRecord(hwnd);
    if (!w)
        return FALSE;
    if (w->updatePending && IsWindowVisible(hwnd))
        SendMessageA(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
    own::Window* w = FindWindowRecord(hwnd);
    if (!w || !paint)
        return nullptr;
    *paint = PAINTSTRUCT{};
    // There is no drawing surface; the device context is a token that names the window.
    paint->hdc = reinterpret_cast<HDC>(hwnd);
    GetClientRect(hwnd, &paint->rcPaint);
    bool erase = w->eraseNeeded;
    w->updatePending = false;
    w->eraseNeeded = false;
    if (erase) {
        paint->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0)
                            ? FALSE
                            : TRUE;
    }
    return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*) {
    return TRUE;
}
