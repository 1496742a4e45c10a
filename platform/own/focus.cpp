// Showing and hiding, activation, keyboard focus and mouse capture: the state that decides where
// input goes, changed with the messages that the platform sends for each change.
#include <algorithm>

#include "platform/own/focus.h"
#include "platform/own/paint.h"
#include "platform/own/window.h"

namespace own {
namespace {

HWND g_focus = nullptr;
HWND g_active = nullptr;
HWND g_capture = nullptr;

// The top-most visible, enabled top-level window other than `except`.
HWND NextToActivate(HWND except) {
    for (HWND top : TopLevelWindows()) {
        if (top != except && IsWindowVisible(top) && IsWindowEnabled(top))
            return top;
    }
    return nullptr;
}

void Activate(HWND top, int how) {
    if (top == g_active)
        return;
    HWND old = g_active;
    g_active = top;
    if (old && FindWindowRecord(old)) {
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(top));
    }
    if (!top || g_active != top || !FindWindowRecord(top))
        return;
    // Top-level windows keep their whole picture, as the platform's composited desktop does:
    // raising one, or taking away one that lay over it, repaints nothing.
    BringToTop(top);
    SendMessageA(top, WM_ACTIVATE, MAKEWPARAM(how, 0), reinterpret_cast<LPARAM>(old));
    // The focus belongs to the active window: if its procedure did not place it, it takes it.
    if (g_active == top && FindWindowRecord(top) && (!g_focus || TopLevelOf(g_focus) != top)) {
        SetFocus(top);
    }
}

}  // namespace

void HideWithoutNotice(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    if (!w || !(w->style & WS_VISIBLE))
        return;
    bool wasShown = IsWindowVisible(hwnd);
    w->style &= ~WS_VISIBLE;
    if (!wasShown)
        return;
    if (w->parent) {
        InvalidateRect(w->parent, nullptr, TRUE);
    } else if (g_active == hwnd) {
        Activate(NextToActivate(hwnd), WA_ACTIVE);
    }
}

void ForgetInputState() {
    g_focus = nullptr;
    g_active = nullptr;
    g_capture = nullptr;
}

void ActivateByClick(HWND top) {
    Activate(top, WA_CLICKACTIVE);
}

}  // namespace own

using own::FindWindowRecord;

BOOL ShowWindow(HWND hwnd, int command) {
    own::Window* w = FindWindowRecord(hwnd);
    if (!w)
        return FALSE;
    BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    bool show = command != SW_HIDE;
    if (show && !wasVisible) {
        SendMessageA(hwnd, WM_SHOWWINDOW, TRUE, 0);
        if (!(w = FindWindowRecord(hwnd)))
            return wasVisible;
        w->style |= WS_VISIBLE;
        own::InvalidateTree(hwnd);
    } else if (!show && wasVisible) {
        SendMessageA(hwnd, WM_SHOWWINDOW, FALSE, 0);
        if (!FindWindowRecord(hwnd))
            return wasVisible;
        HWND focus = GetFocus();
        if (focus && (focus == hwnd || IsChild(hwnd, focus)))
            SetFocus(GetParent(hwnd));
        own::HideWithoutNotice(hwnd);
    }
    if (show && IsWindowVisible(hwnd) && !GetParent(hwnd))
        own::Activate(hwnd, WA_ACTIVE);
    return wasVisible;
}

HWND SetFocus(HWND hwnd) {
    HWND old = own::g_focus;
    if (hwnd && !own::CheckedWindow(hwnd))
        return nullptr;
    if (hwnd == old)
        return old;
    if (hwnd) {
        HWND top = own::TopLevelOf(hwnd);
        if (top != own::g_active) {
            own::Activate(top, WA_ACTIVE);
            if (!FindWindowRecord(hwnd))
                return nullptr;
            old = own::g_focus;
            if (hwnd == old)
                return old;
        }
    }
    own::g_focus = hwnd;
    if (old && FindWindowRecord(old)) {
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    if (hwnd && own::g_focus == hwnd && FindWindowRecord(hwnd)) {
        SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND GetFocus() {
    return FindWindowRecord(own::g_focus) ? own::g_focus : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
    HWND old = GetActiveWindow();
    if (!FindWindowRecord(hwnd))
        return nullptr;
    own::Activate(own::TopLevelOf(hwnd), WA_ACTIVE);
    return old;
}

HWND GetActiveWindow() {
    return FindWindowRecord(own::g_active) ? own::g_active : nullptr;
}

HWND SetCapture(HWND hwnd) {
    HWND old = GetCapture();
    if (!FindWindowRecord(hwnd))
        return old;
    own::g_capture = hwnd;
    if (old && old != hwnd) {
        SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    }
    return old;
}

BOOL ReleaseCapture() {
    HWND old = GetCapture();
    own::g_capture = nullptr;
    if (old)
        SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    return FindWindowRecord(own::g_capture) ? own::g_capture : nullptr;
}
