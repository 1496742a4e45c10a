// Dialogs: CreateDialogParamA finds template 102 among the program's resources, parses it apart
// from creating anything, then creates the dialog under the template's class and its controls in
// template order. A template that cannot be found or read gives no dialog, never a partial read.
#include "platform/own/dialog.h"

#include <map>

#include "platform/own/focus.h"
#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "platform/own/window.h"
#include "platform/own/window_class.h"

namespace own {
namespace {

std::map<HWND, DialogInfo> g_dialogs;
char g_dialogFont;  // the font handle dialogs are told about; nothing draws with it

int MulDiv(int value, int numerator, int denominator) {
    long long product = static_cast<long long>(value) * numerator;
    long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

RECT DialogRect(const DialogTemplate& t, DWORD exStyle, HWND parent) {
    RECT nc = NonClientFrame(t.style, exStyle);
    int width = DialogUnitsToPixelsX(t.cx) + nc.left + nc.right;
    int height = DialogUnitsToPixelsY(t.cy) + nc.top + nc.bottom;
    int x = DialogUnitsToPixelsX(t.x);
    int y = DialogUnitsToPixelsY(t.y);
    if (t.style & DS_CENTER) {
        x = (headless::kScreenWidth - width) / 2;
        y = (headless::kScreenHeight - height) / 2;
    } else if (parent && !(t.style & WS_CHILD)) {
        RECT origin = ScreenClientRect(parent);
        x += origin.left;
        y += origin.top;
    }
    return RECT{x, y, x + width, y + height};
}

LPCSTR ClassOf(unsigned short atom, const std::string& name, LPCSTR fallback) {
    if (atom)
        return MAKEINTRESOURCEA(atom);
    return name.empty() ? fallback : name.c_str();
}

// The last default push button of the template is the dialog's default: its id is what Enter
// presses when no push button has the focus.
void TakeDefaultButton(HWND dialog, HWND control, HWND* defaultButton) {
    if (!(SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
        return;
    if (*defaultButton)
        SendMessageA(*defaultButton, BM_SETSTYLE, BS_PUSHBUTTON, FALSE);
    *defaultButton = control;
    if (DialogInfo* info = FindDialogInfo(dialog, true))
        info->idResult = GetDlgCtrlID(control);
}

bool CreateControls(HWND dialog, const DialogTemplate& t, HINSTANCE instance) {
    HFONT font = reinterpret_cast<HFONT>(&g_dialogFont);
    HWND defaultButton = nullptr;
    for (const DialogItem& item : t.items) {
        LPCSTR cls = ClassOf(item.classAtom, item.className, nullptr);
        DWORD style = (item.style & ~WS_POPUP) | WS_CHILD;
        HWND control = CreateWindowExA(
            item.exStyle | WS_EX_NOPARENTNOTIFY, cls, item.text.c_str(), style,
            DialogUnitsToPixelsX(item.x), DialogUnitsToPixelsY(item.y),
            DialogUnitsToPixelsX(item.cx), DialogUnitsToPixelsY(item.cy), dialog,
            reinterpret_cast<HMENU>(static_cast<std::intptr_t>(static_cast<int>(item.id))),
            instance, nullptr);
        if (!IsWindow(dialog) || !control)
            return false;
        if (t.style & DS_SETFONT)
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        if (IsWindow(control))
            TakeDefaultButton(dialog, control, &defaultButton);
    }
    return true;
}

}  // namespace

HWND FirstFocus(HWND dialog) {
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    return first ? first : GetNextDlgGroupItem(dialog, nullptr, FALSE);
}

int DialogUnitsToPixelsX(int x) {
    return MulDiv(x, headless::kBaseUnitX, 4);
}
int DialogUnitsToPixelsY(int y) {
    return MulDiv(y, headless::kBaseUnitY, 8);
}

DialogInfo* FindDialogInfo(HWND dialog, bool create) {
    if (!IsWindow(dialog))
        return nullptr;
    auto it = g_dialogs.find(dialog);
    if (it != g_dialogs.end())
        return &it->second;
    return create ? &g_dialogs[dialog] : nullptr;
}

bool DialogEnded(HWND dialog, INT_PTR* result) {
    DialogInfo* info = FindDialogInfo(dialog, false);
    if (!info || !info->ended)
        return false;
    if (result)
        *result = info->idResult;
    return true;
}

void ForgetDialogs() {
    g_dialogs.clear();
}

HWND CreateDialogFromTemplate(const DialogTemplate& t, HINSTANCE instance, HWND parent,
                              DLGPROC dialogProc, LPARAM param) {
    EnsureSystemClasses();
    DWORD exStyle = t.exStyle | ((t.style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
    RECT r = DialogRect(t, exStyle, parent);
    HWND dialog =
        CreateWindowExA(exStyle, ClassOf(t.classAtom, t.className, WC_DIALOG), t.caption.c_str(),
                        t.style & ~WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top,
                        parent, nullptr, instance, reinterpret_cast<LPVOID>(param));
    if (!dialog)
        return nullptr;
    if (DialogInfo* info = FindDialogInfo(dialog, true))
        info->proc = dialogProc;
    if (t.style & DS_SETFONT) {
        SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(&g_dialogFont), 0);
    }
    if (!IsWindow(dialog) || !CreateControls(dialog, t, instance)) {
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        return nullptr;
    }
    // Without a dialog procedure nobody answers WM_INITDIALOG, so it is not sent.
    if (dialogProc) {
        HWND focus = FirstFocus(dialog);
        if (SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), param) &&
            IsWindow(dialog)) {
            focus = FirstFocus(dialog);
            SetFocus(focus ? focus : dialog);
        }
    }
    if ((t.style & WS_VISIBLE) && IsWindow(dialog))
        ShowWindow(dialog, SW_SHOWNORMAL);
    return IsWindow(dialog) ? dialog : nullptr;
}

void RegisterDialogClass() {
    RegisterSystemClass("#32770", 0x8002, DefDlgProcA, DLGWINDOWEXTRA,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

}  // namespace own

LRESULT DefDlgProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(hwnd))
        return 0;
    own::DialogInfo* info = own::FindDialogInfo(hwnd, true);
    DLGPROC proc = info->proc;
    if (proc && proc(hwnd, message, wParam, lParam))
        return TRUE;
    // The dialog procedure may have destroyed the dialog, and its record with it.
    if (!(info = own::FindDialogInfo(hwnd, true)))
        return 0;
    // The default: the close box is Cancel, and the dialog manager keeps the focus.
    switch (message) {
        case WM_CLOSE:
            PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
            return 0;
        case WM_NCDESTROY:
            own::g_dialogs.erase(hwnd);
            return 0;
        default:
            return own::DialogManagerMessage(hwnd, info, message, wParam, lParam);
    }
}

BOOL EndDialog(HWND hwnd, INT_PTR result) {
    if (!own::CheckedWindow(hwnd))
        return FALSE;
    own::DialogInfo* info = own::FindDialogInfo(hwnd, true);
    info->ended = true;
    info->idResult = result;
    // The focus leaves the controls first, so that hiding the dialog gives it to no control of it.
    if (IsChild(hwnd, GetFocus()))
        SetFocus(hwnd);
    own::HideWithoutNotice(hwnd);
    return TRUE;
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC dialogProc,
                        LPARAM initParam) {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (!IS_INTRESOURCE(templateName) ||
        !own::FindProgramResource(LOWORD(RT_DIALOG), LOWORD(templateName), &data, &size)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    own::DialogTemplate parsed;
    if (!own::ParseDialogTemplate(data, size, &parsed)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return own::CreateDialogFromTemplate(parsed, instance, parent, dialogProc, initParam);
}
