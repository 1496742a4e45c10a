// What the dialog does with each message: slider notices and check-box clicks edit the current
// profile, a tab change shows another profile, the buttons save, reload the defaults and quit.
#include "panel/dialog_window.h"
#include "profiles/settings_file.h"
#include "res/resource.h"

namespace {

// The row of the settings table whose slider or check box has this id; -1 for other controls.
int RowWithControl(int id) {
    for (int row = 0; row < kSettingCount; ++row) {
        if (kSettings[row].controlId == id) {
            return row;
        }
    }
    return -1;
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
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

void DialogWindow::StorePosition(int row) {
    LRESULT position = SendMessageA(hControls[row], TBM_GETPOS, 0, 0);
    SetPosition(row, static_cast<std::int32_t>(position));
}

LRESULT DialogWindow::OnNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Whatever a slider announces, its position is taken.
    int row = RowWithControl(LOWORD(wParam));
    if (row >= 0 && kSettings[row].number) {
        StorePosition(row);
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
    for (int row = 0; row < kSettingCount; ++row) {
        if (kSettings[row].number && lParam != 0 &&
            reinterpret_cast<LPARAM>(hControls[row]) == lParam) {
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
            PostQuitMessage(0);
            return 1;
        default:
            break;
    }
    int row = RowWithControl(id);
    if (row >= 0 && kSettings[row].flag) {
        LRESULT state = SendMessageA(hControls[row], BM_GETCHECK, 0, 0);
        SetSwitch(row, state == BST_CHECKED);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
