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

enum class Kind { kMouseDown, kMouseMove, kMouseUp, kKeyDown, kKeyUp, kFocusLost };

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

bool Inside(const RECT& r, POINT p) {
    return PtInRect(&r, p) != FALSE;
}

// The deepest child under a point, skipping children that call themselves transparent.
HWND ChildFromPoint(HWND parent, POINT screen, LRESULT* hit) {
    Window* w = FindWindowRecord(parent);
    if (!w)
        return nullptr;
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        Window* c = FindWindowRecord(child);
        if (!c || !(c->style & WS_VISIBLE) || (c->style & WS_DISABLED))
            continue;
        if (!Inside(ScreenWindowRect(child), screen))
            continue;
        LRESULT code = SendMessageA(child, WM_NCHITTEST, 0, PackPoint(screen.x, screen.y));
        if (code == HTTRANSPARENT)
            continue;
        *hit = code;
        if (code != HTCLIENT)
            return child;
        HWND deeper = ChildFromPoint(child, screen, hit);
        if (deeper)
            return deeper;
        *hit = code;
        return child;
    }
    return nullptr;
}

bool MouseMessage(const InputEvent& e, MSG* msg) {
    g_cursor = e.point;
    if (e.kind == Kind::kMouseDown)
        g_buttonDown = true;
    if (e.kind == Kind::kMouseUp)
        g_buttonDown = false;
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

void Push(Kind kind, POINT p, UINT vk) {
    if (kind == Kind::kMouseDown || kind == Kind::kMouseMove || kind == Kind::kMouseUp)
        g_pointer = p;
    g_input.push_back(InputEvent{kind, p, vk});
}

}  // namespace

HWND WindowFromScreenPoint(POINT screen, LRESULT* hitCode) {
    std::vector<HWND> tops = TopLevelWindows();
    for (HWND top : tops) {
        Window* w = FindWindowRecord(top);
        if (!w || !(w->style & WS_VISIBLE) || !Inside(ScreenWindowRect(top), screen))
            continue;
        LRESULT code = SendMessageA(top, WM_NCHITTEST, 0, PackPoint(screen.x, screen.y));
        if (code == HTTRANSPARENT)
            continue;
        *hitCode = code;
        if (code != HTCLIENT || (w->style & WS_DISABLED))
            return top;
        HWND child = ChildFromPoint(top, screen, hitCode);
        if (child)
            return child;
        *hitCode = code;
        return top;
    }
    *hitCode = HTNOWHERE;
    return nullptr;
}

bool TakeInputMessage(MSG* msg) {
    while (!g_input.empty()) {
        InputEvent e = g_input.front();
        g_input.pop_front();
        bool mouse =
            e.kind == Kind::kMouseDown || e.kind == Kind::kMouseMove || e.kind == Kind::kMouseUp;
        if (e.kind == Kind::kFocusLost)
            LoseFocus();
        else if (mouse ? MouseMessage(e, msg) : KeyMessage(e, msg))
            return true;
    }
    return false;
}

void ClearInput() {
    g_input.clear();
    g_buttonDown = false;
    g_keysDown.reset();
}

void InjectMouseDown(POINT p) {
    Push(Kind::kMouseDown, p, 0);
}
void InjectMouseMove(POINT p) {
    Push(Kind::kMouseMove, p, 0);
}
void InjectMouseUp(POINT p) {
    Push(Kind::kMouseUp, p, 0);
}
void InjectKeyDown(UINT vk) {
    Push(Kind::kKeyDown, POINT{}, vk);
}
void InjectKeyUp(UINT vk) {
    Push(Kind::kKeyUp, POINT{}, vk);
}
void InjectFocusLost() {
    Push(Kind::kFocusLost, POINT{}, 0);
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
