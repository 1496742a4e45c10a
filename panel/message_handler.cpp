// What the dialog does with each message: slider notices and check-box clicks edit the current
// profile, a tab change shows another profile, the buttons save, reload the defaults and quit.
#include <iterator>

#include "panel/dialog_window.h"
#include "profiles/settings_file.h"
#include "res/resource.h"

namespace {

// The panel's row whose slider or check box has this id; null for other controls.
const PanelRow* RowWithControl(int id) {
    for (const PanelRow& row : kPanelRows) {
        if (kSettings[row.row].controlId == id) {
            return &row;
        }
    }
    return nullptr;
}

// Ctrl+Tab and Ctrl+Page Down step to the next tab, Ctrl+Shift+Tab and Ctrl+Page Up to the
// previous one, as in tabbed dialogs; 0 for every other message.
int TabStep(const MSG& message) {
    if (message.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0) {
        return 0;
    }
    if (message.wParam == VK_TAB) {
        return GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    }
    return message.wParam == VK_NEXT ? 1 : message.wParam == VK_PRIOR ? -1 : 0;
}

}  // namespace

LRESULT DialogWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY:
            return OnNotify(window, message, wParam, lParam);
        case WM_COMMAND:
            return OnCommand(window, message, wParam, lParam);
        case WM_HSCROLL:
            return OnScroll(window, message, wParam, lParam);
        case WM_CREATE:
            return 1;
        case WM_DESTROY:
            // Closing the dialog from its title bar ends the program without saving.
            PostQuitMessage(0);
            return 0;
        default:
            return DefaultProcedure(window, message, wParam, lParam);
    }
}

void DialogWindow::StorePosition(const PanelRow& row) {
    LRESULT position = SendMessageA(hControls[row.row], TBM_GETPOS, 0, 0);
    (this->*row.setNumber)(static_cast<std::int32_t>(position));
}

LRESULT DialogWindow::OnNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Whatever a slider announces, its position is taken.
    const PanelRow* row = RowWithControl(LOWORD(wParam));
    if (row && row->setNumber) {
        StorePosition(*row);
        return 1;
    }
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->code == static_cast<UINT>(TCN_SELCHANGE)) {
        Refresh();
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT DialogWindow::OnScroll(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A slider announces every move of its thumb here at once. Its notices come only as it
    // repaints, which waits until the input queue is empty: a click on OK already queued behind a
    // key would save the value from before the key. A null lParam is the window's own scroll bar.
    for (const PanelRow& row : kPanelRows) {
        if (row.setNumber && lParam != 0 &&
            reinterpret_cast<LPARAM>(hControls[row.row]) == lParam) {
            StorePosition(row);
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT DialogWindow::OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Only the id counts: every command from a control is taken as a click.
    int id = LOWORD(wParam);
    switch (id) {
        case IDC_APPLY:
            SaveAISettings(kSettingsFilePath);
            return 1;
        case IDC_RESET:
            LoadAISettings(kDefaultsFilePath);
            Refresh();
            return 1;
        case IDC_OK:
            // Quits even when the save failed: its message has already been shown.
            SaveAISettings(kSettingsFilePath);
            PostQuitMessage(0);
            return 1;
        case IDC_CANCEL:
        case IDCANCEL:  // Escape, as the dialog manager sends it
            PostQuitMessage(0);
            return 1;
        default:
            break;
    }
    const PanelRow* row = RowWithControl(id);
    if (row && row->setSwitch) {
        LRESULT state = SendMessageA(hControls[row->row], BM_GETCHECK, 0, 0);
        (this->*row->setSwitch)(state == BST_CHECKED);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool DialogWindow::SwitchTabByKey(const MSG& message) {
    int step = TabStep(message);
    int count = static_cast<int>(std::size(kProfileNames));
    if (step == 0 || (message.hwnd != hDialog && !IsChild(hDialog, message.hwnd))) {
        return false;
    }
    // The tab control's notices, as a click on the tab sends them: the profile follows.
    NMHDR header{hTabControl, IDC_PROFILE_TABS, static_cast<UINT>(TCN_SELCHANGING)};
    if (!SendMessageA(hDialog, WM_NOTIFY, IDC_PROFILE_TABS, reinterpret_cast<LPARAM>(&header))) {
        int current = static_cast<int>(SendMessageA(hTabControl, TCM_GETCURSEL, 0, 0));
        SendMessageA(hTabControl, TCM_SETCURSEL, (current + step + count) % count, 0);
        header.code = static_cast<UINT>(TCN_SELCHANGE);
        SendMessageA(hDialog, WM_NOTIFY, IDC_PROFILE_TABS, reinterpret_cast<LPARAM>(&header));
    }
    return true;
}
