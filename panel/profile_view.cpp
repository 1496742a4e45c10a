// The two directions between the controls and the current profile: the setters store what a
// control shows, Refresh shows what the profile holds.
#include <cstring>

#include "panel/dialog_window.h"
#include "profiles/ai_setting.h"

namespace {

// Sets a label's text unless it shows that text already. Every notice of a slider comes through
// here, those that it sends while it paints among them, and a new text repaints the label at once.
void ShowText(HWND label, const char* text) {
    // A longer text than fits, cut short, cannot equal one that fits with room to spare.
    char shown[32] = "";
    if (std::strlen(text) < sizeof(shown) - 1) {
        GetWindowTextA(label, shown, sizeof(shown));
        if (std::strcmp(shown, text) == 0) {
            return;
        }
    }
    SetWindowTextA(label, text);
}

}  // namespace

void DialogWindow::SetDancing(std::int32_t value) {
    SetPosition(RowOf(&AISetting::iDancing), value);
}
void DialogWindow::SetAttackDelay(std::int32_t position) {
    SetPosition(RowOf(&AISetting::iAttackDelay), position);
}
void DialogWindow::SetTechSpeed(std::int32_t value) {
    SetPosition(RowOf(&AISetting::iTechSpeed), value);
}
void DialogWindow::SetHandicap(std::int32_t value) {
    SetPosition(RowOf(&AISetting::iHandicap), value);
}
void DialogWindow::SetHarassing(bool value) {
    SetSwitch(RowOf(&AISetting::bHarassing), value);
}
void DialogWindow::SetAlternativeStrategies(bool value) {
    SetSwitch(RowOf(&AISetting::bAlternativeStrategies), value);
}
void DialogWindow::SetMultiBuildings(bool value) {
    SetSwitch(RowOf(&AISetting::bMultiBuildings), value);
}
void DialogWindow::SetRelicUnits(bool value) {
    SetSwitch(RowOf(&AISetting::bRelicUnits), value);
}
void DialogWindow::SetTurrets(bool value) {
    SetSwitch(RowOf(&AISetting::bTurrets), value);
}
void DialogWindow::SetMines(bool value) {
    SetSwitch(RowOf(&AISetting::bMines), value);
}

// Stores at once, then shows the stored value; a value without a text leaves the label as it
// was. Nothing happens before the profiles have been handed over.
void DialogWindow::SetPosition(int row, std::int32_t position) {
    AISetting* profile = CurrentProfile();
    if (!profile) {
        return;
    }
    const Setting& setting = kSettings[row];
    // Computed unsigned so that no position can overflow; those that reach here come from a
    // slider or from a stored value divided by the step, and their product always fits.
    auto value = static_cast<std::uint32_t>(position) * static_cast<std::uint32_t>(setting.step);
    profile->*setting.number = static_cast<std::int32_t>(value);
    char buffer[64];
    if (const char* text = LabelText(setting, profile->*setting.number, buffer)) {
        ShowText(hLabels[row], text);
    }
}

void DialogWindow::SetSwitch(int row, bool value) {
    if (AISetting* profile = CurrentProfile()) {
        profile->*kSettings[row].switchField = value;
    }
}

void DialogWindow::Refresh() {
    LRESULT selected = SendMessageA(hTabControl, TCM_GETCURSEL, 0, 0);
    // Before start-up has handed over the profiles, or with no tab selected, there is nothing to
    // show: the controls and the index stay as they are, so the index keeps naming a profile.
    if (selected < 0 || static_cast<std::size_t>(selected) >= profiles.size()) {
        return;
    }
    iCurrentTab = static_cast<std::int32_t>(selected);
    AISetting* profile = profiles[iCurrentTab];

    // Each setter first, so the label and the stored value are right before the control moves.
    for (const PanelRow& row : kPanelRows) {
        const Setting& setting = kSettings[row.row];
        if (row.setSwitch) {
            bool value = profile->*setting.switchField;
            (this->*row.setSwitch)(value);
            SendMessageA(hControls[row.row], BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
            continue;
        }
        // Toward zero: a stored value between two positions is shown, and kept, as the one
        // nearer zero (an odd number of minutes made even).
        std::int32_t position = profile->*setting.number / setting.step;
        (this->*row.setNumber)(position);
        SendMessageA(hControls[row.row], TBM_SETPOS, TRUE, position);
    }
}
