#pragma once
// Which control shows which setting: one row per slider and one per check box. Create, the
// setters, Refresh and the message handler all walk these rows.

#include <cstdint>

#include "panel/dialog_window.h"
#include "profiles/ai_setting.h"
#include "res/resource.h"

namespace panel {

// Texts of a graded setting for the values -2 to 2; null where the label keeps its text.
using LabelTexts = const char* const[5];
inline constexpr LabelTexts kDancingTexts = {nullptr, nullptr, "Off", "Standard", "Godlike"};
inline constexpr LabelTexts kTechSpeedTexts = {"Very Slow", "Slow", "Average", "Fast", "Very Fast"};
inline constexpr LabelTexts kHandicapTexts = {"Allies Major", "Allies Minor", "Off",
                                              "Opponents Minor", "Opponents Major"};

struct SliderRow {
    int sliderId;
    int labelId;
    HWND DialogWindow::*slider;
    HWND DialogWindow::*label;
    short minimum;
    short maximum;
    int initialPosition;
    std::int32_t AISetting::*field;
    void (DialogWindow::*setter)(std::int32_t);
    const LabelTexts* texts;  // null for the attack delay, which shows minutes
};

struct CheckRow {
    int id;
    HWND DialogWindow::*box;
    bool AISetting::*field;
    void (DialogWindow::*setter)(bool);
};

inline constexpr SliderRow kDancingRow = {IDC_DANCING_SLIDER,
                                          IDC_DANCING_LABEL,
                                          &DialogWindow::hDancingSlider,
                                          &DialogWindow::hDancingLabel,
                                          0,
                                          2,
                                          2,
                                          &AISetting::iDancing,
                                          &DialogWindow::SetDancing,
                                          &kDancingTexts};
// Position p stands for 2 p minutes.
inline constexpr SliderRow kAttackDelayRow = {IDC_ATTACK_DELAY_SLIDER,
                                              IDC_ATTACK_DELAY_LABEL,
                                              &DialogWindow::hAttackDelaySlider,
                                              &DialogWindow::hAttackDelayLabel,
                                              0,
                                              10,
                                              0,
                                              &AISetting::iAttackDelay,
                                              &DialogWindow::SetAttackDelay,
                                              nullptr};
inline constexpr SliderRow kTechSpeedRow = {IDC_TECH_SPEED_SLIDER,
                                            IDC_TECH_SPEED_LABEL,
                                            &DialogWindow::hTechSpeedSlider,
                                            &DialogWindow::hTechSpeedLabel,
                                            -2,
                                            2,
                                            0,
                                            &AISetting::iTechSpeed,
                                            &DialogWindow::SetTechSpeed,
                                            &kTechSpeedTexts};
inline constexpr SliderRow kHandicapRow = {IDC_HANDICAP_SLIDER,
                                           IDC_HANDICAP_LABEL,
                                           &DialogWindow::hHandicapSlider,
                                           &DialogWindow::hHandicapLabel,
                                           -2,
                                           2,
                                           0,
                                           &AISetting::iHandicap,
                                           &DialogWindow::SetHandicap,
                                           &kHandicapTexts};

// Top to bottom, as the dialog shows them; set-up and Refresh go in this order.
inline constexpr const SliderRow* kSliderRows[] = {&kDancingRow, &kAttackDelayRow, &kTechSpeedRow,
                                                   &kHandicapRow};

// In the order of the setters, which is also the order of set-up and of Refresh.
inline constexpr CheckRow kCheckRows[] = {
    {IDC_HARASSING_CHECK, &DialogWindow::hHarassingCheck, &AISetting::bHarassing,
     &DialogWindow::SetHarassing},
    {IDC_ALTERNATIVE_STRATEGIES_CHECK, &DialogWindow::hAlternativeStrategiesCheck,
     &AISetting::bAlternativeStrategies, &DialogWindow::SetAlternativeStrategies},
    {IDC_MULTI_BUILDINGS_CHECK, &DialogWindow::hMultiBuildingsCheck, &AISetting::bMultiBuildings,
     &DialogWindow::SetMultiBuildings},
    {IDC_RELIC_UNITS_CHECK, &DialogWindow::hRelicUnitsCheck, &AISetting::bRelicUnits,
     &DialogWindow::SetRelicUnits},
    {IDC_TURRETS_CHECK, &DialogWindow::hTurretsCheck, &AISetting::bTurrets,
     &DialogWindow::SetTurrets},
    {IDC_MINES_CHECK, &DialogWindow::hMinesCheck, &AISetting::bMines, &DialogWindow::SetMines},
};

inline constexpr int kInitialTab = 2;

// The label text for a value, or null when the value has none.
inline const char* LabelText(const LabelTexts& texts, std::int32_t value) {
    return value >= -2 && value <= 2 ? texts[value + 2] : nullptr;
}

}  // namespace panel
