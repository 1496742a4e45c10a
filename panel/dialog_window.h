#pragma once
// The control panel: the dialog built from template 102, the handles of the controls that show a
// profile, and the profiles that its five tabs stand for.

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "profiles/pointer_list.h"
#include "profiles/profile_registry.h"
#include "profiles/settings_table.h"

struct PanelRow;

class DialogWindow {
  public:
    // Also initialises the common controls, whose classes the template names.
    DialogWindow();
    // Leaves WindowRegistry, then destroys the dialog, so that no message of it can reach a
    // window that is gone. The profiles belong to start-up and stay.
    virtual ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Registers "DLGCLASS", creates the dialog and sets up its controls. Succeeds once a process.
    bool Create(HINSTANCE instance);
    void AddProfile(AISetting* profile);
    // One step of the message loop for every window of the thread; false once it should end.
    bool PumpMessage();

    // Store into the current profile at once; the graded ones also update their value label. The
    // handler and Refresh call them through kPanelRows.
    void SetDancing(std::int32_t value);
    void SetAttackDelay(std::int32_t position);
    void SetTechSpeed(std::int32_t value);
    void SetHandicap(std::int32_t value);
    void SetHarassing(bool value);
    void SetAlternativeStrategies(bool value);
    void SetMultiBuildings(bool value);
    void SetRelicUnits(bool value);
    void SetTurrets(bool value);
    void SetMines(bool value);
    // Makes the selected tab's profile current and shows it in every control.
    void Refresh();

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // What the dialog does not handle itself: the dialog manager's questions to DefDlgProcA,
    // everything else to DefWindowProcA.
    static LRESULT DefaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The profile at the current tab index, or null when the list holds none there.
    AISetting* CurrentProfile() const;

    HWND hDialog;
    HWND hTabControl;
    // By row of the settings table: the slider or check box, and a graded setting's value label.
    HWND hControls[kSettingCount];
    HWND hLabels[kGradedCount];
    std::int32_t iCurrentTab;
    PointerList<AISetting> profiles;

  private:
    // What every setter does for its row: a graded setting stores the slider's position times
    // the row's step and shows the stored value in the row's label; a switch stores the value.
    void SetPosition(int row, std::int32_t position);
    void SetSwitch(int row, bool value);
    LRESULT OnNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnScroll(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Ctrl+Tab and Ctrl+Page Down select the next tab, with Shift or Page Up the previous one.
    bool SwitchTabByKey(const MSG& message);
    // Reads the row's slider position into the current profile.
    void StorePosition(const PanelRow& row);
};

// The panel's rows, in the order in which Create sets their controls up and Refresh shows them:
// the settings table's, except that Early Harassing comes before Alternative Strategies, as the
// setters are declared. Each row's setter is the one path from its control to the profile.
struct PanelRow {
    int row;                                                  // of the settings table
    void (DialogWindow::*setNumber)(std::int32_t) = nullptr;  // a slider's position
    void (DialogWindow::*setSwitch)(bool) = nullptr;          // a check box's state
};
inline constexpr PanelRow kPanelRows[] = {
    {.row = RowOf(&AISetting::iDancing), .setNumber = &DialogWindow::SetDancing},
    {.row = RowOf(&AISetting::iAttackDelay), .setNumber = &DialogWindow::SetAttackDelay},
    {.row = RowOf(&AISetting::iTechSpeed), .setNumber = &DialogWindow::SetTechSpeed},
    {.row = RowOf(&AISetting::iHandicap), .setNumber = &DialogWindow::SetHandicap},
    {.row = RowOf(&AISetting::bHarassing), .setSwitch = &DialogWindow::SetHarassing},
    {.row = RowOf(&AISetting::bAlternativeStrategies),
     .setSwitch = &DialogWindow::SetAlternativeStrategies},
    {.row = RowOf(&AISetting::bMultiBuildings), .setSwitch = &DialogWindow::SetMultiBuildings},
    {.row = RowOf(&AISetting::bRelicUnits), .setSwitch = &DialogWindow::SetRelicUnits},
    {.row = RowOf(&AISetting::bTurrets), .setSwitch = &DialogWindow::SetTurrets},
    {.row = RowOf(&AISetting::bMines), .setSwitch = &DialogWindow::SetMines},
};

// Every live DialogWindow that Create registered, in order of creation.
class WindowRegistry {
  public:
    static std::size_t Count();
    static DialogWindow* At(std::size_t position);
    static void Add(DialogWindow* window);
    static void Remove(DialogWindow* window);
};

// The window procedure of "DLGCLASS": hands each message to the window whose dialog it is.
LRESULT CALLBACK DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
