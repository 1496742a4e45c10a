// The two directions between the controls and the current profile: the setters store what a
// control shows, Refresh shows what the profile holds.
#include <cstdio>
#include <cstring>

#include "panel/control_table.h"
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

// Stores the value at once, then shows its text; a value without a text leaves the label as it
// was. Nothing happens before the profiles have been handed over.
void StoreGraded(DialogWindow& window, const panel::SliderRow& row, std::int32_t value) {
    AISetting* profile = window.CurrentProfile();
    if (!profile) {
        return;
    }
    profile->*row.field = value;
    if (const char* text = panel::LabelText(*row.texts, value)) {
        ShowText(window.*row.label, text);
    }
}

void StoreSwitch(DialogWindow& window, bool AISetting::*field, bool value) {
    if (AISetting* profile = window.CurrentProfile()) {
        profile->*field = value;
    }
}

}  // namespace

void DialogWindow::SetDancing(std::int32_t value) {
    StoreGraded(*this, panel::kDancingRow, value);
}
void DialogWindow::SetTechSpeed(std::int32_t value) {
    StoreGraded(*this, panel::kTechSpeedRow, value);
}
void DialogWindow::SetHandicap(std::int32_t value) {
    StoreGraded(*this, panel::kHandicapRow, value);
}

void DialogWindow::SetAttackDelay(std::int32_t position) {
    AISetting* profile = CurrentProfile();
    if (!profile) {
        return;
    }
    // Computed unsigned so that no position can overflow; those that reach here come from the
    // 0 to 10 slider or from halving a stored value, and their double always fits.
    profile->iAttackDelay = static_cast<std::int32_t>(static_cast<std::uint32_t>(position) * 2u);
    char text[64];
    std::snprintf(text, sizeof(text), "%i minutes", static_cast<int>(profile->iAttackDelay));
    ShowText(hAttackDelayLabel, text);
}

void DialogWindow::SetHarassing(bool value) {
    StoreSwitch(*this, &AISetting::bHarassing, value);
}
void DialogWindow::SetAlternativeStrategies(bool value) {
    StoreSwitch(*this, &AISetting::bAlternativeStrategies, value);
}
void DialogWindow::SetMultiBuildings(bool value) {
    StoreSwitch(*this, &AISetting::bMultiBuildings, value);
}
void DialogWindow::SetRelicUnits(bool value) {
    StoreSwitch(*this, &AISetting::bRelicUnits, value);
}
void DialogWindow::SetTurrets(bool value) {
    StoreSwitch(*this, &AISetting::bTurrets, value);
}
void DialogWindow::SetMines(bool value) {
    StoreSwitch(*this, &AISetting::bMines, value);
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

    for (const panel::SliderRow* row : panel::kSliderRows) {
        std::int32_t position = profile->*row->field;
        if (row == &panel::kAttackDelayRow) {
            position /= 2;  // toward zero: an odd number of minutes is shown, and kept, made even
        }
        // The setter first, so the label and the stored value are right before the thumb moves.
        (this->*row->setter)(position);
        SendMessageA(this->*row->slider, TBM_SETPOS, TRUE, position);
    }
    for (const panel::CheckRow& row : panel::kCheckRows) {
        bool value = profile->*row.field;
        (this->*row.setter)(value);
        SendMessageA(this->*row.box, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}
