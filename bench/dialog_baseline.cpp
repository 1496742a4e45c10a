// The launch baseline: the control panel's dialog with nothing of the program behind it. The same
// template from the same compiled resources, in a "DLGCLASS" of the same record whose procedure is
// DefWindowProcA, and the same kind of message loop; no tabs, slider ranges, load or refresh.
#include <windows.h>

#include <commctrl.h>

#include "res/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "DLGCLASS";
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    if (!RegisterClassExA(&windowClass) ||
        !CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_CONTROL_PANEL), nullptr, nullptr, 0)) {
        return 0;
    }
    // Ended by a quit message that the launcher posts; closing the window alone does not end it.
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 1;
}
