#pragma once
// The ten settings of a profile, one row each, in the order of a block's lines, which is also the
// order in which the reader tests the keys: the graded settings first, then the switches. Whatever
// handles the settings one by one walks this table: the block reader and writer, and the panel's
// set-up, Refresh and message handling. A new setting is a field of AISetting, a row here, its
// controls in the dialog template, and a setter with its row in the panel's table
// (panel/dialog_window.h).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string_view>

#include "profiles/ai_setting.h"
#include "res/resource.h"

struct Setting {
    std::string_view key;  // in a block; also the field's name
    // The field: a number, shown by a slider, or a switch, shown by a check box.
    std::int32_t AISetting::*number = nullptr;
    bool AISetting::*switchField = nullptr;
    int controlId;      // the slider or the check box
    int labelId = 0;    // the value label beside a slider
    short minimum = 0;  // the slider's range
    short maximum = 0;
    int initialPosition = 0;  // where the slider stands before the first profile is shown
    int step = 1;             // the stored value for one slider position
    // The label's text for each value from the minimum to the maximum (at most five); null
    // keeps the text the label has.
    const char* labelTexts[5] = {};
    const char* labelFormat = nullptr;  // or the stored value formatted, for every value
};

inline constexpr Setting kSettings[] = {
    {.key = "iDancing",
     .number = &AISetting::iDancing,
     .controlId = IDC_DANCING_SLIDER,
     .labelId = IDC_DANCING_LABEL,
     .maximum = 2,
     .initialPosition = 2,
     .labelTexts = {"Off", "Standard", "Godlike"}},
    {.key = "iAttackDelay",
     .number = &AISetting::iAttackDelay,
     .controlId = IDC_ATTACK_DELAY_SLIDER,
     .labelId = IDC_ATTACK_DELAY_LABEL,
     .maximum = 10,
     .step = 2,  // minutes
     .labelFormat = "%i minutes"},
    {.key = "iTechSpeed",
     .number = &AISetting::iTechSpeed,
     .controlId = IDC_TECH_SPEED_SLIDER,
     .labelId = IDC_TECH_SPEED_LABEL,
     .minimum = -2,
     .maximum = 2,
     .labelTexts = {"Very Slow", "Slow", "Average", "Fast", "Very Fast"}},
    {.key = "iHandicap",
     .number = &AISetting::iHandicap,
     .controlId = IDC_HANDICAP_SLIDER,
     .labelId = IDC_HANDICAP_LABEL,
     .minimum = -2,
     .maximum = 2,
     .labelTexts = {"Allies Major", "Allies Minor", "Off", "Opponents Minor", "Opponents Major"}},
    {.key = "bAlternativeStrategies",
     .switchField = &AISetting::bAlternativeStrategies,
     .controlId = IDC_ALTERNATIVE_STRATEGIES_CHECK},
    {.key = "bHarassing", .switchField = &AISetting::bHarassing, .controlId = IDC_HARASSING_CHECK},
    {.key = "bMultiBuildings",
     .switchField = &AISetting::bMultiBuildings,
     .controlId = IDC_MULTI_BUILDINGS_CHECK},
    {.key = "bRelicUnits",
     .switchField = &AISetting::bRelicUnits,
     .controlId = IDC_RELIC_UNITS_CHECK},
    {.key = "bTurrets", .switchField = &AISetting::bTurrets, .controlId = IDC_TURRETS_CHECK},
    {.key = "bMines", .switchField = &AISetting::bMines, .controlId = IDC_MINES_CHECK},
};
inline constexpr int kSettingCount = static_cast<int>(std::size(kSettings));

// The graded settings, rows 0 to kGradedCount - 1.
consteval int GradedCount() {
    int count = 0;
    while (kSettings[count].number) {
        ++count;
    }
    return count;
}
inline constexpr int kGradedCount = GradedCount();

// The row of a field, found as the program is built: a field without a row does not build.
consteval int RowOf(std::int32_t AISetting::*field) {
    int row = 0;
    while (kSettings[row].number != field) {
        ++row;
    }
    return row;
}
consteval int RowOf(bool AISetting::*field) {
    int row = 0;
    while (kSettings[row].switchField != field) {
        ++row;
    }
    return row;
}

// The value label's text for a stored value, or null where the label keeps the text it has.
inline const char* LabelText(const Setting& setting, std::int32_t value, char (&buffer)[64]) {
    if (setting.labelFormat) {
        std::snprintf(buffer, sizeof buffer, setting.labelFormat, static_cast<int>(value));
        return buffer;
    }
    bool listed = value >= setting.minimum && value <= setting.maximum &&
                  value - setting.minimum < static_cast<int>(std::size(setting.labelTexts));
    return listed ? setting.labelTexts[value - setting.minimum] : nullptr;
}
