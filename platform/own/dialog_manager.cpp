// The dialog manager: what IsDialogMessageA does with a dialog's keys (Tab and Shift+Tab through
// the tab stops, the arrows through a group, Enter for the focused or default push button, Escape
// for Cancel), how the tab stops and groups are walked, and the default dialog procedure's part:
// the focus kept across activation, the next control, and the default push button, which follows
// the focus among the push buttons. The rules are the platform's, as Wine's user32 implements them.
//
// Mnemonics ('&' in a control's text) are not looked for: no dialog of this layer has one.
#include "platform/own/dialog.h"
#include "platform/own/window.h"

namespace own {
namespace {

bool Shown(HWND hwnd) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    return (style & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

bool IsTabStop(HWND hwnd) {
    return Shown(hwnd) && (GetWindowLongA(hwnd, GWL_STYLE) & WS_TABSTOP);
}

bool StartsGroup(HWND hwnd) {
    return (GetWindowLongA(hwnd, GWL_STYLE) & WS_GROUP) != 0;
}

UINT DialogCode(HWND hwnd, WPARAM wParam = 0, LPARAM lParam = 0) {
    return static_cast<UINT>(SendMessageA(hwnd, WM_GETDLGCODE, wParam, lParam));
}

// A dialog's controls in z-order, which is template order: what GetWindow walks.
HWND Child(HWND parent, bool last) {
    Window* w = FindWindowRecord(parent);
    if (!w || w->children.empty())
        return nullptr;
    return last ? w->children.back() : w->children.front();
}

HWND Sibling(HWND hwnd, bool previous) {
    Window* w = FindWindowRecord(hwnd);
    Window* parent = w ? FindWindowRecord(w->parent) : nullptr;
    if (!parent)
        return nullptr;
    const std::vector<HWND>& list = parent->children;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] != hwnd)
            continue;
        if (previous)
            return i > 0 ? list[i - 1] : nullptr;
        return i + 1 < list.size() ? list[i + 1] : nullptr;
    }
    return nullptr;
}

// The control of the dialog that holds hwnd: hwnd itself for a control, null outside the dialog.
HWND ControlOf(HWND dialog, HWND hwnd) {
    while (hwnd && GetParent(hwnd) != dialog)
        hwnd = GetParent(hwnd);
    return hwnd;
}

// Where a walk over the controls starts (null: from the dialog's first control); false where
// there is nothing to walk: no dialog, or backwards from nowhere, which finds nothing.
bool WalkStart(HWND dialog, HWND* control, BOOL previous) {
    if (!IsWindow(dialog))
        return false;
    if (*control == dialog)
        *control = nullptr;
    return *control || !previous;
}

// The first tab stop from start on, walking one way and not round.
HWND TabStopFrom(HWND start, bool previous) {
    for (HWND h = start; h; h = Sibling(h, previous)) {
        if (IsTabStop(h))
            return h;
    }
    return nullptr;
}

HWND FindDefaultButton(HWND dialog) {
    for (HWND h = Child(dialog, false); h; h = Sibling(h, false)) {
        if (DialogCode(h) & DLGC_DEFPUSHBUTTON)
            return h;
    }
    return nullptr;
}

void SaveFocus(HWND dialog) {
    HWND focus = GetFocus();
    DialogInfo* info = FindDialogInfo(dialog, false);
    if (focus && IsChild(dialog, focus) && info)
        info->focus = focus;
}

// Activation gives the focus back to the control that had it; with none kept, the dialog's own
// focus (WM_SETFOCUS) goes to its first tab stop.
void RestoreFocus(HWND dialog, bool justActivated) {
    DialogInfo* info = FindDialogInfo(dialog, false);
    if (!info || info->ended)
        return;
    if (!IsWindow(info->focus) || info->focus == dialog) {
        if (justActivated)
            return;
        info->focus = FirstFocus(dialog);
        if (!IsWindow(info->focus))
            return;
    }
    HWND focus = info->focus;
    info->focus = nullptr;
    SetFocus(focus);
}

// Restyles the push buttons so that the new default carries the default ring and the old one does
// not; a target that is no push button hands the ring back to the dialog's default id.
void SetDefaultButton(HWND dialog, HWND target, bool newId, WPARAM id) {
    DialogInfo* info = FindDialogInfo(dialog, false);
    if (!info)
        return;
    HWND old = GetDlgItem(dialog, static_cast<int>(info->idResult));
    UINT code = 0;
    if (newId) {
        info->idResult = static_cast<INT_PTR>(id);
        if (target && !((code = DialogCode(target)) & (DLGC_UNDEFPUSHBUTTON | DLGC_BUTTON)))
            return;
    } else if (target &&
               !((code = DialogCode(target)) & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON))) {
        target = old;
        code = target ? DialogCode(target) : 0;
    }
    if (!old || !(DialogCode(old) & DLGC_DEFPUSHBUTTON))
        old = FindDefaultButton(dialog);
    if (old && old != target)
        SendMessageA(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    if (target && (code & DLGC_UNDEFPUSHBUTTON))
        SendMessageA(target, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

LRESULT NextControl(HWND dialog, WPARAM wParam, LPARAM lParam) {
    HWND target = reinterpret_cast<HWND>(wParam);
    if (!lParam)
        target = GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
    if (target)
        SetFocus(target);
    SetDefaultButton(dialog, target, false, 0);
    return 0;
}

LRESULT DefaultId(HWND dialog, const DialogInfo* info) {
    if (info->ended)
        return 0;
    if (info->idResult)
        return MAKELONG(info->idResult, DC_HASDEFID);
    HWND button = FindDefaultButton(dialog);
    return button ? MAKELONG(GetDlgCtrlID(button), DC_HASDEFID) : 0;
}

void Command(HWND dialog, int id, HWND control) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

// Enter: the focused push button if it is the default one, else the dialog's default id.
void PressDefault(HWND dialog) {
    HWND focus = GetFocus();
    if (IsChild(dialog, focus) && (DialogCode(focus) & DLGC_DEFPUSHBUTTON)) {
        Command(dialog, GetDlgCtrlID(focus), focus);
        return;
    }
    LRESULT id = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    if (HIWORD(id) != DC_HASDEFID) {
        Command(dialog, IDOK, GetDlgItem(dialog, IDOK));
        return;
    }
    HWND button = GetDlgItem(dialog, LOWORD(id));
    if (!button || IsWindowEnabled(button))
        Command(dialog, LOWORD(id), button);
}

// The arrows move through the group of the window that has the key, wrapping within the group.
// (Radio buttons, which the arrows would also tick, are not among this layer's controls.)
void MoveInGroup(HWND dialog, const MSG& msg) {
    bool previous = msg.wParam == VK_LEFT || msg.wParam == VK_UP;
    HWND next = GetNextDlgGroupItem(dialog, msg.hwnd, previous);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), 1);
}

// A key that the dialog manager takes itself; false for the keys the focused control keeps.
bool TakeKey(HWND dialog, MSG* msg) {
    UINT code = DialogCode(msg->hwnd, msg->wParam, reinterpret_cast<LPARAM>(msg));
    if (code & DLGC_WANTMESSAGE)
        return false;
    switch (msg->wParam) {
        case VK_TAB:
            if (code & DLGC_WANTTAB)
                return false;
            SendMessageA(dialog, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
            return true;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (code & DLGC_WANTARROWS)
                return false;
            MoveInGroup(dialog, *msg);
            return true;
        case VK_ESCAPE:
            Command(dialog, IDCANCEL, GetDlgItem(dialog, IDCANCEL));
            return true;
        case VK_RETURN:
            PressDefault(dialog);
            return true;
        default:
            return false;
    }
}

}  // namespace

LRESULT DialogManagerMessage(HWND dialog, DialogInfo* info, UINT message, WPARAM wParam,
                             LPARAM lParam) {
    switch (message) {
        case WM_SHOWWINDOW:
            if (!wParam)
                SaveFocus(dialog);
            return DefWindowProcA(dialog, message, wParam, lParam);
        case WM_ACTIVATE:
            if (wParam)
                RestoreFocus(dialog, true);
            else
                SaveFocus(dialog);
            return 0;
        case WM_SETFOCUS:
            RestoreFocus(dialog, false);
            return 0;
        case DM_SETDEFID:
            if (!info->ended)
                SetDefaultButton(dialog, GetDlgItem(dialog, static_cast<int>(wParam)), true,
                                 wParam);
            return 1;
        case DM_GETDEFID:
            return DefaultId(dialog, info);
        case WM_NEXTDLGCTL:
            return NextControl(dialog, wParam, lParam);
        default:
            return DefWindowProcA(dialog, message, wParam, lParam);
    }
}

}  // namespace own

using own::Child;
using own::ControlOf;
using own::Shown;
using own::Sibling;
using own::StartsGroup;
using own::TabStopFrom;

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    if (!own::WalkStart(dialog, &control, previous))
        return nullptr;
    HWND from = ControlOf(dialog, control);
    if (!from)
        return TabStopFrom(Child(dialog, previous), previous);
    // On from the control to the end, then round from the other end.
    HWND start = Sibling(from, previous);
    HWND found = TabStopFrom(start ? start : Child(dialog, previous), previous);
    if (!found && start)
        found = TabStopFrom(Child(dialog, previous), previous);
    return found ? found : from;
}

// Always walks forward round the dialog, as the platform does: for the previous control it keeps
// the last one seen before coming back to the control.
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    if (!own::WalkStart(dialog, &control, previous))
        return nullptr;
    if (control) {
        if (!IsChild(dialog, control))
            return nullptr;
        control = ControlOf(dialog, control);
    } else {
        control = Child(dialog, false);
        if (!control || Shown(control))
            return control;
    }
    HWND found = control, hwnd = control, lastGroup = nullptr;
    bool looped = false, skipping = false;
    for (;;) {
        HWND next = Sibling(hwnd, false);
        if (!next) {
            if (looped)
                return found;
            looped = true;
            next = Child(dialog, false);
        }
        hwnd = next;
        if (StartsGroup(hwnd)) {
            lastGroup = hwnd;
            skipping = true;
        }
        if (hwnd == control) {
            if (!skipping || lastGroup == hwnd)
                return found;
            hwnd = lastGroup;
            skipping = false;
            looped = false;
        }
        if (!skipping && Shown(hwnd)) {
            found = hwnd;
            if (!previous)
                return found;
        }
    }
}

BOOL IsDialogMessageA(HWND dialog, LPMSG msg) {
    if (!msg || !IsWindow(dialog))
        return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))
        return FALSE;
    bool taken = false;
    if (msg->message == WM_KEYDOWN)
        taken = own::TakeKey(dialog, msg);
    if (!taken) {
        TranslateMessage(msg);
        DispatchMessageA(msg);
    }
    return TRUE;
}
