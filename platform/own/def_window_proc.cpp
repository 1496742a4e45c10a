// The default window procedure: what a window gets for the messages its own procedure passes on.
// Closing destroys the window; the caption's close box closes it; activation takes the focus.
#include <algorithm>
#include <cstring>

#include "platform/own/window.h"

namespace own {
namespace {

LRESULT HitTest(HWND hwnd, LPARAM lParam) {
    Window* w = FindWindowRecord(hwnd);
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT window = ScreenWindowRect(hwnd);
    if (!PtInRect(&window, p))
        return HTNOWHERE;
    RECT client = ScreenClientRect(hwnd);
    if (PtInRect(&client, p))
        return HTCLIENT;
    RECT close = CloseBoxRect(window, w->style, w->exStyle);
    if (PtInRect(&close, p))
        return HTCLOSE;
    RECT nc = NonClientFrame(w->style, w->exStyle);
    if ((w->style & WS_CAPTION) == WS_CAPTION && p.y < client.top && p.y >= window.top + nc.left) {
        return HTCAPTION;
    }
    return HTBORDER;
}

LRESULT CopyText(HWND hwnd, WPARAM size, LPARAM buffer) {
    Window* w = FindWindowRecord(hwnd);
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0)
        return 0;
    std::size_t n = std::min<std::size_t>(w->text.size(), size - 1);
    std::memcpy(out, w->text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

}  // namespace

RECT CloseBoxRect(const RECT& window, DWORD style, DWORD exStyle) {
    if ((style & WS_CAPTION) != WS_CAPTION || !(style & WS_SYSMENU))
        return RECT{};
    RECT nc = NonClientFrame(style, exStyle);
    LONG right = window.right - nc.right - 2;
    LONG top = window.top + nc.right + 2;
    return RECT{right - kCloseBoxSize, top, right, top + kCaptionHeight - 4};
}

}  // namespace own

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    own::Window* w = own::FindWindowRecord(hwnd);
    if (!w)
        return 0;
    switch (message) {
        case WM_NCCREATE: {
            const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
                w->text = cs->lpszName;
            return TRUE;
        }
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SETTEXT:
            w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            return TRUE;
        case WM_GETTEXT:
            return own::CopyText(hwnd, wParam, lParam);
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return w->cls->background ? 1 : 0;
        case WM_NCHITTEST:
            return own::HitTest(hwnd, lParam);
        case WM_NCLBUTTONDOWN:
            w->closeBoxPressed = wParam == static_cast<WPARAM>(HTCLOSE);
            return 0;
        case WM_NCLBUTTONUP: {
            bool close = w->closeBoxPressed && wParam == static_cast<WPARAM>(HTCLOSE);
            w->closeBoxPressed = false;
            if (close)
                SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
            return 0;
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE)
                SendMessageA(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE)
                SetFocus(hwnd);
            return 0;
        case WM_SYSKEYDOWN:
            // Alt+F4 closes the top-level window, as its close box does.
            if ((HIWORD(lParam) & KF_ALTDOWN) && wParam == VK_F4)
                PostMessageA(own::TopLevelOf(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_QUERYUISTATE:
            // Nothing is hidden: focus marks always show, as under Wine, which keeps no UI state.
            return 0;
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
            return static_cast<LRESULT>(COLOR_BTNFACE + 1);
        default:
            return 0;
    }
}
