// The panel's decisions that a person cannot reach, and the entry's first steps: where the
// program's folder is, and when start-up gives up. What a person sees is played by the scenarios.
#include "panel/dialog_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>

#include "res/resource.h"
#include "tests/support/panel.h"

namespace {

// On Windows input is taken before painting, and a slider's notices come as it paints: a click on
// OK queued behind a key is taken before the slider has painted its new position. The save is
// watched at its first step, where it fails: nothing is written.
TEST(panel, ok_queued_behind_a_key_saves_what_the_slider_shows) {
    support::Panel panel;
    support::AutoAnswerBoxes boxes;
    int saved = -1;
    support::FailingSaves watch([&](support::SaveStep step, const char*) {
        if (step == support::SaveStep::kCreate)
            saved = panel.profiles[2]->iAttackDelay;
        return true;
    });
    SetFocus(panel.Item(IDC_ATTACK_DELAY_SLIDER));
    support::DoEvents();
    headless::PressKey(VK_RIGHT);
    support::Click(panel.Item(IDC_OK));
    support::DoEvents();
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(1, SendMessageA(panel.Item(IDC_ATTACK_DELAY_SLIDER), TBM_GETPOS, 0, 0));
    EXPECT_EQ(2, saved);
    // A notice without a header, which no control sends, is passed on unread.
    EXPECT_EQ(0, SendMessageA(panel.window.hDialog, WM_NOTIFY, IDC_PROFILE_TABS, 0));
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
