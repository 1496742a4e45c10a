#pragma once
// Inside the own layer: dialogs made from a parsed template, and the state of the dialog manager
// that EndDialog and the modal loops share.

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
// Sets the dialog procedure that DefDlgProcA calls for a window.
void SetDialogProc(HWND dialog, DLGPROC proc);
// True once EndDialog ended the dialog; *result gets what it passed.
bool DialogEnded(HWND dialog, INT_PTR* result);
void ForgetDialogs();

}  // namespace own
