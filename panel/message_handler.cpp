// What the dialog does with each message: slider notices and check-box clicks edit the current
// profile, a tab change shows another profile, the buttons save, reload the defaults and quit.
#include "panel/control_table.h"
#include "panel/dialog_window.h"
#include "profiles/settings_file.h"
#include "res/resource.h"

namespace {

const panel::SliderRow* SliderWithId(int id) {
    for (const panel::SliderRow* row : panel::kSliderRows) {
        if (row->sliderId == id) {
            return row;
        }
    }
    return nullptr;
}

const panel::CheckRow* CheckBoxWithId(int id) {
    for (const panel::CheckRow& row : panel::kCheckRows) {
        if (row.id == id) {
            return &row;
        }
    }
    return nullptr;
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

void DialogWindow::StorePosition(const panel::SliderRow& row) {
    LRESULT position = SendMessageA(this->*row.slider, TBM_GETPOS, 0, 0);
    (this->*row.setter)(static_cast<std::int32_t>(position));
}

LRESULT DialogWindow::OnNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Whatever a slider announces, its position is taken.
    if (const panel::SliderRow* row = SliderWithId(LOWORD(wParam))) {
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
    for (const panel::SliderRow* row : panel::kSliderRows) {
        if (lParam != 0 && reinterpret_cast<LPARAM>(this->*row->slider) == lParam) {
            StorePosition(*row);
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
    if (const panel::CheckRow* row = CheckBoxWithId(id)) {
        LRESULT state = SendMessageA(this->*row->box, BM_GETCHECK, 0, 0);
        (this->*row->setter)(state == BST_CHECKED);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
