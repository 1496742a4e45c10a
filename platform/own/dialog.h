#pragma once
// Inside the own layer: dialogs made from a parsed template, what the dialog manager keeps for
// each dialog, and its part of the default dialog procedure.

#include "platform/own/dialog_template.h"
#include "platform/own/win32.h"

namespace own {

// Creates the dialog and its controls in template order (the first on top), as CreateDialogParamA
// does once it has the template. Null when the dialog or a control cannot be created.
HWND CreateDialogFromTemplate(const DialogTemplate& dialog, HINSTANCE instance, HWND parent,
                              DLGPROC dialogProc, LPARAM param);
// Dialog units to pixels with the layer's fixed base units.
int DialogUnitsToPixelsX(int x);
int DialogUnitsToPixelsY(int y);

// What the dialog manager keeps for a dialog, as the platform keeps it beside the window.
struct DialogInfo {
    DLGPROC proc = nullptr;
    HWND focus = nullptr;     // the control that gets the focus back when the dialog is activated
    INT_PTR idResult = IDOK;  // the default push button's id; once ended, EndDialog's result
    bool ended = false;
};
// The dialog's record; with create, one is made for a window that has none (DefDlgProcA makes one
// on first use, whatever made the window). Null for windows that are gone.
DialogInfo* FindDialogInfo(HWND dialog, bool create);
// True once EndDialog ended the dialog; *result gets what it passed.
bool DialogEnded(HWND dialog, INT_PTR* result);
void ForgetDialogs();

// The control that a dialog's focus starts on: its first tab stop, else its first control.
HWND FirstFocus(HWND dialog);

// The default dialog procedure's part that keeps the focus and the default push button:
// activation and focus (WM_ACTIVATE, WM_SETFOCUS, WM_SHOWWINDOW), the default push button
// (DM_GETDEFID, DM_SETDEFID) and the next control (WM_NEXTDLGCTL); anything else goes to the
// default window procedure. dialog_manager.cpp.
LRESULT DialogManagerMessage(HWND dialog, DialogInfo* info, UINT message, WPARAM wParam,
                             LPARAM lParam);

}  // namespace own
