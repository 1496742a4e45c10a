#include "panel/dialog_window.h"

#include <iterator>

#include "res/resource.h"

namespace {
// Constant-initialised: the list exists, empty, before any code runs.
constinit PointerList<DialogWindow> g_windows;

// "Hard", selected when the dialog is created.
constexpr int kInitialTab = 2;

// TBM_SETRANGE's lParam: the minimum in the low word, the maximum in the high word.
LPARAM PackRange(short minimum, short maximum) {
    DWORD low = static_cast<WORD>(minimum);
    DWORD high = static_cast<WORD>(maximum);
    return static_cast<LPARAM>(high << 16 | low);
}
}  // namespace

std::size_t WindowRegistry::Count() {
    return g_windows.size();
}
DialogWindow* WindowRegistry::At(std::size_t position) {
    return g_windows[position];
}
void WindowRegistry::Add(DialogWindow* window) {
    g_windows.push_back(window);
}
void WindowRegistry::Remove(DialogWindow* window) {
    g_windows.erase(window);
}

LRESULT CALLBACK DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (std::size_t i = 0; i < WindowRegistry::Count(); ++i) {
        DialogWindow* owner = WindowRegistry::At(i);
        if (owner->hDialog == window) {
            return owner->HandleMessage(window, message, wParam, lParam);
        }
    }
    // Everything sent while the dialog is being created, before Create registers it.
    return DialogWindow::DefaultProcedure(window, message, wParam, lParam);
}

LRESULT DialogWindow::DefaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        // What the dialog manager asks of a dialog: where the focus goes on activation, which
        // control is next, which push button is the default.
        case WM_ACTIVATE:
        case WM_SETFOCUS:
        case WM_NEXTDLGCTL:
        case DM_GETDEFID:
        case DM_SETDEFID:
            return DefDlgProcA(window, message, wParam, lParam);
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

DialogWindow::DialogWindow()
    : hDialog(nullptr), hTabControl(nullptr), hControls{}, hLabels{}, iCurrentTab(0) {
    InitCommonControls();
}

DialogWindow::~DialogWindow() {
    // After OK or Cancel the dialog outlives the loop; once out of the registry its last
    // messages, WM_DESTROY among them, get the default procedure and post no second quit.
    WindowRegistry::Remove(this);
    if (hDialog) {
        DestroyWindow(hDialog);
    }
}

bool DialogWindow::Create(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DialogWindowProc;
    windowClass.cbClsExtra = 0;
    // The dialog manager keeps its data in a dialog's own window class.
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = "DLGCLASS";
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    if (!RegisterClassExA(&windowClass)) {
        return false;
    }

    hDialog =
        CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_CONTROL_PANEL), nullptr, nullptr, 0);
    if (!hDialog) {
        MessageBoxA(nullptr, "Couldn't create window!", "Error", MB_OK);
        return false;
    }
    WindowRegistry::Add(this);

    hTabControl = GetDlgItem(hDialog, IDC_PROFILE_TABS);
    for (int i = 0; i < static_cast<int>(std::size(kProfileNames)); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<char*>(kProfileNames[i]);
        item.iImage = -1;
        SendMessageA(hTabControl, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(hTabControl, TCM_SETCURSEL, kInitialTab, 0);
    iCurrentTab = kInitialTab;

    // Placeholders until the first Refresh shows a profile: every check box ticked.
    for (const PanelRow& panelRow : kPanelRows) {
        const int row = panelRow.row;
        const Setting& setting = kSettings[row];
        HWND control = hControls[row] = GetDlgItem(hDialog, setting.controlId);
        if (setting.switchField) {
            SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
            continue;
        }
        hLabels[row] = GetDlgItem(hDialog, setting.labelId);
        SendMessageA(control, TBM_SETRANGE, TRUE, PackRange(setting.minimum, setting.maximum));
        SendMessageA(control, TBM_SETPAGESIZE, 0, 1);
        SendMessageA(control, TBM_SETPOS, TRUE, setting.initialPosition);
    }
    return true;
}

void DialogWindow::AddProfile(AISetting* profile) {
    profiles.push_back(profile);
}

bool DialogWindow::PumpMessage() {
    MSG message;
    BOOL fetched = GetMessageA(&message, nullptr, 0, 0);
    // 0 is the quit message; -1 a failed fetch, which left the record unfilled and would only
    // fail again.
    if (fetched == 0 || fetched == -1) {
        return false;
    }
    // The dialog's keys go to the dialog manager first, which moves the focus and presses buttons.
    if (hDialog && (SwitchTabByKey(message) || IsDialogMessageA(hDialog, &message))) {
        return true;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

AISetting* DialogWindow::CurrentProfile() const {
    if (iCurrentTab < 0 || static_cast<std::size_t>(iCurrentTab) >= profiles.size()) {
        return nullptr;
    }
    return profiles[iCurrentTab];
}
