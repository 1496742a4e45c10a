// The panel's decisions that a person cannot reach, and the entry's first steps: where the
// program's folder is, and when start-up gives up. What a person sees is played by the scenarios.
#include "panel/dialog_window.h"

#include <unistd.h>

#include <climits>

#include "res/resource.h"
#include "tests/profiles/profile_fixture.h"
#include "tests/support/panel.h"

namespace {

using PanelTest = ProfileFileTest;  // a scratch folder for the files

// On Windows input is taken before painting, and a slider's notices come as it paints: a click on
// OK queued behind a key is taken before the slider has painted its new position.
TEST_F(PanelTest, ok_queued_behind_a_key_saves_what_the_slider_shows) {
    support::Panel panel;
    SetFocus(panel.Item(IDC_ATTACK_DELAY_SLIDER));
    support::DoEvents();
    headless::PressKey(VK_RIGHT);
    support::Click(panel.Item(IDC_OK));
    support::DoEvents();
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(1, SendMessageA(panel.Item(IDC_ATTACK_DELAY_SLIDER), TBM_GETPOS, 0, 0));
    EXPECT_NE(std::string::npos, ReadFileBytes("Core/AIConfig.ai")
                                     .find("AISettings_Hard =\r\n{\r\n\tiDancing = 0,\r\n"
                                           "\tiAttackDelay = 2,\r\n"));
}

// What the panel's own controls never send, answered by control id alone: a slider's notice of any
// code, a tab change told by another control or without a header, scrolling from no slider, any
// code in a command's high word, and id 1, which no control of the panel has. (The scenarios play
// what the controls send.)
TEST(panel, notices_and_commands_act_by_control_id_alone) {
    support::Panel panel;
    auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageA(panel.window.hDialog, message, wParam, lParam);
    };
    auto notify = [&](int id, UINT code) {
        NMHDR header{panel.Item(id), static_cast<UINT_PTR>(id), code};
        return send(WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header));
    };
    SendMessageA(panel.window.hTabControl, TCM_SETCURSEL, 3, 0);
    SendMessageA(panel.Item(IDC_HANDICAP_SLIDER), TBM_SETPOS, TRUE, 1);
    EXPECT_EQ(1, notify(IDC_HANDICAP_SLIDER, TCN_SELCHANGE));
    SendMessageA(panel.Item(IDC_HANDICAP_SLIDER), TBM_SETPOS, TRUE, 2);
    EXPECT_EQ(0, send(WM_HSCROLL, TB_LINEDOWN, 0));  // the window's own scroll bar
    EXPECT_EQ(1, panel.profiles[2]->iHandicap);
    EXPECT_EQ(0, send(WM_NOTIFY, IDC_PROFILE_TABS, 0));
    EXPECT_EQ(2, panel.window.iCurrentTab);
    EXPECT_EQ(1, notify(IDC_OK, TCN_SELCHANGE));
    EXPECT_EQ(3, panel.window.iCurrentTab);

    SendMessageA(panel.Item(IDC_RELIC_UNITS_CHECK), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(1, send(WM_COMMAND, MAKEWPARAM(IDC_RELIC_UNITS_CHECK, 0xFFFF), 0));
    EXPECT_TRUE(panel.profiles[3]->bRelicUnits);
    EXPECT_EQ(0, send(WM_COMMAND, 1, 0));
    EXPECT_EQ(1, send(WM_CREATE, 0, 0));
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

using support::RunProgram;

// Without a folder, or without the dialog's template (which is reported), start-up gives up.
TEST(start_up, gives_up_with_exit_code_0_before_any_window_without_a_folder_or_a_template) {
    support::AutoAnswerBoxes boxes;
    EXPECT_EQ(0, RunProgram("AIControlPanel"));
    EXPECT_EQ(0, RunProgram("/tmp/AIControlPanel", reinterpret_cast<HINSTANCE>(0x10)));
    // The resource file's leading empty entry alone.
    EXPECT_EQ(0, RunProgram("/nowhere/AIControlPanel", own::ProgramInstance(), 32));
    EXPECT_EQ(std::vector<std::string>{"Couldn't create window!"}, boxes.boxes());
    EXPECT_TRUE(headless::Windows().empty());
}

// Cutting the separator off would leave no folder at all (or, on Windows, a bare drive letter,
// which names that drive's current folder rather than its root). The program is stopped at its
// first wait with an exit status that tells the folder it works in.
TEST(start_up, a_program_in_the_root_folder_works_there) {
    auto run = [] {
        support::ScriptedInput script;
        script.Then([] {
            char folder[PATH_MAX] = "";
            _exit(getcwd(folder, sizeof(folder)) && std::string(folder) == "/" ? 3 : 4);
        });
        RunProgram("/AIControlPanel");
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(3), "");
}

}  // namespace
