// The Button class: push buttons, default push buttons, check boxes and group boxes. A click is a
// press inside the button and a release inside it; only then does an auto check box toggle and
// the parent hear BN_CLICKED. Setting the check state from code notifies nobody.
#include "platform/own/controls.h"
#include "platform/own/headless.h"
#include "platform/own/window.h"
#include "platform/own/window_class.h"

namespace own {
namespace {

DWORD TypeOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & BS_TYPEMASK;
}

void NotifyParent(HWND hwnd, WORD code) {
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                 reinterpret_cast<LPARAM>(hwnd));
}

// Only check boxes hold a check state.
LRESULT SetCheck(ButtonInfo* info, WPARAM state) {
    if (TypeOf(info->self) != BS_AUTOCHECKBOX)
        return 0;
    state = state == BST_UNCHECKED ? BST_UNCHECKED : BST_CHECKED;
    if (state != info->check) {
        info->check = state;
        InvalidateRect(info->self, nullptr, FALSE);
    }
    return 0;
}

LRESULT SetState(ButtonInfo* info, BOOL pushed) {
    if (info->pushed != (pushed != FALSE)) {
        info->pushed = pushed != FALSE;
        InvalidateRect(info->self, nullptr, FALSE);
    }
    return 0;
}

LRESULT Press(ButtonInfo* info) {
    HWND self = info->self;
    SetCapture(self);
    SetFocus(self);
    if (info->destroyed)
        return 0;
    info->pressed = true;
    SendMessageA(self, BM_SETSTATE, TRUE, 0);
    return 0;
}

// The end of a press: inside the button it is a click.
LRESULT Release(ButtonInfo* info, bool inside) {
    HWND self = info->self;
    if (!info->pressed)
        return 0;
    info->pressed = false;
    if (!info->pushed) {
        ReleaseCapture();
        return 0;
    }
    SendMessageA(self, BM_SETSTATE, FALSE, 0);
    if (info->destroyed)
        return 0;
    if (!inside) {
        ReleaseCapture();
        return 0;
    }
    if (TypeOf(self) == BS_AUTOCHECKBOX) {
        SendMessageA(self, BM_SETCHECK, info->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED,
                     0);
    }
    ReleaseCapture();
    NotifyParent(self, BN_CLICKED);
    return 0;
}

// Whether a mouse message's point lies on the button.
bool Inside(const ButtonInfo* info, LPARAM lParam) {
    RECT client;
    GetClientRect(info->self, &client);
    return PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
}

LRESULT MouseMove(ButtonInfo* info, LPARAM lParam) {
    if (!info->pressed || GetCapture() != info->self)
        return 0;
    bool inside = Inside(info, lParam);
    if (inside != info->pushed)
        SendMessageA(info->self, BM_SETSTATE, inside ? TRUE : FALSE, 0);
    return 0;
}

LRESULT CaptureChanged(ButtonInfo* info) {
    if (info->pressed) {
        info->pressed = false;
        if (info->pushed)
            SendMessageA(info->self, BM_SETSTATE, FALSE, 0);
    }
    return 0;
}

// Push buttons ask for the button colours, check boxes and group boxes for the static ones.
LRESULT Paint(HWND hwnd) {
    DWORD type = TypeOf(hwnd);
    bool push = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
    return PaintWithParentColours(hwnd, push ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC);
}

// What the dialog manager asks of a button: push buttons tell whether they are the default one.
LRESULT DialogCode(DWORD type) {
    switch (type) {
        case BS_PUSHBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
        default:
            return DLGC_BUTTON;
    }
}

// The dialog manager moves the default ring by changing a push button's type.
LRESULT SetStyle(HWND hwnd, WPARAM type, BOOL redraw) {
    LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    SetWindowLongPtrA(hwnd, GWL_STYLE,
                      (style & ~LONG_PTR{BS_TYPEMASK}) | static_cast<LONG_PTR>(type & BS_TYPEMASK));
    if (redraw)
        InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

}  // namespace

LRESULT ButtonInfo::Handle(ButtonInfo* info, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = info->self;
    bool group = TypeOf(hwnd) == BS_GROUPBOX;
    switch (message) {
        case WM_NCHITTEST:
            // A group box is a frame: clicks fall through to whatever lies beneath.
            return group ? HTTRANSPARENT : DefWindowProcA(hwnd, message, wParam, lParam);
        case WM_LBUTTONDOWN:
            return group ? 0 : Press(info);
        case WM_LBUTTONUP:
            return Release(info, Inside(info, lParam));
        case WM_MOUSEMOVE:
            return MouseMove(info, lParam);
        case WM_CAPTURECHANGED:
            return CaptureChanged(info);
        case WM_KEYDOWN:
            return (wParam == VK_SPACE && !group) ? Press(info) : 0;
        case WM_KEYUP:
            return wParam == VK_SPACE ? Release(info, true) : 0;
        case WM_SETFOCUS:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_KILLFOCUS:
            InvalidateRect(hwnd, nullptr, TRUE);
            if (info->pressed && GetCapture() == hwnd)
                ReleaseCapture();
            return 0;
        case WM_PAINT:
            return Paint(hwnd);
        case WM_ERASEBKGND:
            return 1;
        case WM_SETTEXT:
            DefWindowProcA(hwnd, message, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETDLGCODE:
            return DialogCode(TypeOf(hwnd));
        case BM_GETCHECK:
            return static_cast<LRESULT>(info->check);
        case BM_SETCHECK:
            return SetCheck(info, wParam);
        case BM_SETSTATE:
            return SetState(info, static_cast<BOOL>(wParam));
        case BM_SETSTYLE:
            return SetStyle(hwnd, wParam, static_cast<BOOL>(lParam));
        default:
            return DefControlProc<ButtonInfo>(info->self, message, wParam, lParam);
    }
}

void RegisterButtonClass() {
    RegisterSystemClass("Button", 0x0080, ControlProc<ButtonInfo>, 0, nullptr);
}

}  // namespace own

const own::ButtonInfo* headless::Button(HWND button) {
    return own::StateOf<own::ButtonInfo>(button);
}
