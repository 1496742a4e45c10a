// User input: what the driver injects waits here until the queue takes it, and is then turned into
// the message that the platform would deliver: mouse messages hit-tested through WM_NCHITTEST (or
// sent to the capture window), client or non-client by the hit code, keys to the focus window.
#include <bitset>
#include <deque>

#include "platform/own/focus.h"
#include "platform/own/queue.h"
#include "platform/own/window.h"

namespace own {
namespace {

using Kind = InputKind;

struct InputEvent {
    Kind kind;
    POINT point;
    UINT vk;
};

std::deque<InputEvent> g_input;
bool g_buttonDown = false;
POINT g_cursor{};   // where the mouse was at the input taken last
POINT g_pointer{};  // where it is now: at the input injected last
std::bitset<256> g_keysDown;

LPARAM PackPoint(LONG x, LONG y) {
    return MAKELPARAM(static_cast<short>(x), static_cast<short>(y));
}

bool IsMouse(Kind kind) {
    return kind == Kind::kMouseDown || kind == Kind::kMouseMove || kind == Kind::kMouseUp;
}

// The first of these siblings (top first) under a point and, within its client area, the deepest
// child, skipping windows that call themselves transparent. A disabled child is passed over; a
// disabled top-level window takes the point itself, children and all. *hit is set only when a
// window is found.
HWND WindowAt(std::vector<HWND> windows, POINT screen, LRESULT* hit) {
    for (HWND hwnd : windows) {
        Window* w = FindWindowRecord(hwnd);
        RECT rect = ScreenWindowRect(hwnd);
        if (!w || !(w->style & WS_VISIBLE) || ((w->style & WS_DISABLED) && w->parent) ||
            !PtInRect(&rect, screen))
            continue;
        bool disabled = (w->style & WS_DISABLED) != 0;
        LRESULT code = SendMessageA(hwnd, WM_NCHITTEST, 0, PackPoint(screen.x, screen.y));
        if (code == HTTRANSPARENT)
            continue;
        *hit = code;
        w = FindWindowRecord(hwnd);
        if (code != HTCLIENT || disabled || !w)
            return hwnd;
        HWND child = WindowAt(w->children, screen, hit);
        return child ? child : hwnd;
    }
    return nullptr;
}

bool MouseMessage(const InputEvent& e, MSG* msg) {
    g_cursor = e.point;
    if (e.kind != Kind::kMouseMove)
        g_buttonDown = e.kind == Kind::kMouseDown;
    HWND target = GetCapture();
    LRESULT hit = HTCLIENT;
    if (!target)
        target = WindowFromScreenPoint(e.point, &hit);
    // A disabled window (the owner of a modal box) takes no mouse input.
    if (!target || !IsWindowEnabled(TopLevelOf(target)))
        return false;
    if (e.kind == Kind::kMouseDown) {
        HWND top = TopLevelOf(target);
        if (top != GetActiveWindow())
            ActivateByClick(top);
        if (!IsWindow(target))
            return false;
    }
    static constexpr UINT kClient[] = {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP};
    static constexpr UINT kNonClient[] = {WM_NCLBUTTONDOWN, WM_NCMOUSEMOVE, WM_NCLBUTTONUP};
    int index = static_cast<int>(e.kind);
    *msg = MSG{target, 0, 0, 0, NextMessageTime(), e.point};
    if (hit == HTCLIENT) {
        RECT client = ScreenClientRect(target);
        msg->message = kClient[index];
        msg->wParam = g_buttonDown ? MK_LBUTTON : 0;
        msg->lParam = PackPoint(e.point.x - client.left, e.point.y - client.top);
    } else {
        msg->message = kNonClient[index];
        msg->wParam = static_cast<WPARAM>(hit);
        msg->lParam = PackPoint(e.point.x, e.point.y);
    }
    return true;
}

// Keys go to the focus window. With Alt held (and not Ctrl) they are system keys, as they are with
// no focus at all, when they go to the active window. A key held down repeats: its WM_KEYDOWN then
// says that it was down before (bit 30).
bool KeyMessage(const InputEvent& e, MSG* msg) {
    bool down = e.kind == Kind::kKeyDown;
    bool wasDown = g_keysDown[e.vk & 0xFF];
    g_keysDown[e.vk & 0xFF] = down;
    HWND target = GetFocus();
    bool alt = g_keysDown[VK_MENU];
    bool system = (alt && !g_keysDown[VK_CONTROL]) || !target;
    if (!target)
        target = GetActiveWindow();
    if (!target)
        return false;
    DWORD flags = (down ? (wasDown ? 0x40000001u : 0x00000001u) : 0xC0000001u) |
                  (alt ? DWORD{KF_ALTDOWN} << 16 : 0u);
    UINT message = down ? WM_KEYDOWN : WM_KEYUP;
    if (system)
        message += WM_SYSKEYDOWN - WM_KEYDOWN;
    *msg = MSG{target, message, e.vk, static_cast<LPARAM>(flags), NextMessageTime(), g_cursor};
    return true;
}

// Another program's window took the focus: what is held is let go there, so this program gets no
// key or button release, only the loss of its capture.
void LoseFocus() {
    g_keysDown.reset();
    g_buttonDown = false;
    if (GetCapture())
        ReleaseCapture();
}

}  // namespace

HWND WindowFromScreenPoint(POINT screen, LRESULT* hitCode) {
    *hitCode = HTNOWHERE;
    return WindowAt(TopLevelWindows(), screen, hitCode);
}

bool TakeInputMessage(MSG* msg) {
    while (!g_input.empty()) {
        InputEvent e = g_input.front();
        g_input.pop_front();
        if (e.kind == Kind::kFocusLost)
            LoseFocus();
        else if (IsMouse(e.kind) ? MouseMessage(e, msg) : KeyMessage(e, msg))
            return true;
    }
    return false;
}

void ClearInput() {
    g_input.clear();
    g_buttonDown = false;
    g_keysDown.reset();
}

void InjectInput(InputKind kind, POINT screen, UINT vk) {
    if (IsMouse(kind))
        g_pointer = screen;
    g_input.push_back(InputEvent{kind, screen, vk});
}

}  // namespace own

SHORT GetKeyState(int virtualKey) {
    return own::g_keysDown[virtualKey & 0xFF] ? static_cast<SHORT>(0x8000) : 0;
}

BOOL GetCursorPos(POINT* point) {
    if (!point)
        return FALSE;
    *point = own::g_pointer;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
    if (!point || !IsWindow(hwnd))
        return FALSE;
    RECT client = own::ScreenClientRect(hwnd);
    point->x -= client.left;
    point->y -= client.top;
    return TRUE;
}
