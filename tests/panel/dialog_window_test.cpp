// The panel's decisions that a person cannot reach, and the entry's first steps: where the
// program's folder is, and when start-up gives up. What a person sees is played by the scenarios.
#include "panel/dialog_window.h"

#include <unistd.h>

#include <climits>

#include "platform/own/hooks.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"
#include "res/resource.h"
#include "tests/profiles/profile_fixture.h"

namespace {

// The panel created on the own layer beside the five profiles and a scratch folder, without a
// message loop: each test sends the messages it means.
class PanelTest : public ProfileFileTest {
  protected:
    void SetUp() override {
        ProfileFileTest::SetUp();
        own::ResetLayer();
        UnregisterClassA("DLGCLASS", own::ProgramInstance());
        own::SetProgramResources(kProgramResFile, kProgramResFileSize);
        window = std::make_unique<DialogWindow>();
    }
    void TearDown() override {
        window.reset();
        ProfileFileTest::TearDown();
    }

    // Create, then the profiles handed over as start-up does.
    void CreateWithProfiles() {
        ASSERT_TRUE(window->Create(own::ProgramInstance()));
        for (auto& profile : profiles_) {
            window->AddProfile(profile.get());
        }
        window->Refresh();
    }

    HWND Item(int id) { return GetDlgItem(window->hDialog, id); }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageA(window->hDialog, message, wParam, lParam);
    }
    LRESULT Notify(int id, UINT code) {
        NMHDR header{Item(id), static_cast<UINT_PTR>(id), code};
        return Send(WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header));
    }
    LRESULT Command(int id, WORD code = BN_CLICKED) {
        return Send(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
    }

    std::unique_ptr<DialogWindow> window;
};

TEST_F(PanelTest, create_reports_a_missing_template) {
    ASSERT_TRUE(window->Create(own::ProgramInstance()));
    UnregisterClassA("DLGCLASS", own::ProgramInstance());
    static const unsigned char kNoResources[32] = {};
    own::SetProgramResources(kNoResources, sizeof(kNoResources));
    DialogWindow second;
    EXPECT_FALSE(second.Create(own::ProgramInstance()));
    EXPECT_EQ(std::vector<std::string>{"Couldn't create window!"}, boxes_.boxes());
}

// On Windows input is taken before painting, and a slider's notices come as it paints: a click on
// OK queued behind a key is taken before the slider has painted its new position.
TEST_F(PanelTest, ok_queued_behind_a_key_saves_what_the_slider_shows) {
    CreateWithProfiles();
    SetFocus(Item(IDC_ATTACK_DELAY_SLIDER));
    support::DoEvents();
    headless::PressKey(VK_RIGHT);
    support::Click(Item(IDC_OK));
    support::DoEvents();
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(1, SendMessageA(Item(IDC_ATTACK_DELAY_SLIDER), TBM_GETPOS, 0, 0));
    EXPECT_NE(std::string::npos, ReadFileBytes("Core/AIConfig.ai")
                                     .find("AISettings_Hard =\r\n{\r\n\tiDancing = 0,\r\n"
                                           "\tiAttackDelay = 2,\r\n"));
}

TEST_F(PanelTest, notices_and_commands_act_by_control_id_alone) {
    CreateWithProfiles();
    SendMessageA(window->hTabControl, TCM_SETCURSEL, 3, 0);
    // A slider's notice of any code stores its position and is never a tab change; scrolling
    // that names no slider is left to the default procedure.
    SendMessageA(Item(IDC_HANDICAP_SLIDER), TBM_SETPOS, TRUE, 1);
    EXPECT_EQ(1, Notify(IDC_HANDICAP_SLIDER, TCN_SELCHANGE));
    SendMessageA(Item(IDC_HANDICAP_SLIDER), TBM_SETPOS, TRUE, 2);
    EXPECT_EQ(0, Send(WM_HSCROLL, TB_LINEDOWN, 0));
    EXPECT_EQ(1, profiles_[2]->iHandicap);
    EXPECT_EQ(0, Notify(IDC_PROFILE_TABS, TCN_SELCHANGING));
    EXPECT_EQ(0, Send(WM_NOTIFY, IDC_PROFILE_TABS, 0));  // no header: no tab change
    EXPECT_EQ(2, window->iCurrentTab);
    EXPECT_EQ(1, Notify(IDC_OK, TCN_SELCHANGE));
    EXPECT_EQ(3, window->iCurrentTab);

    // Any notification code in the high word is a click.
    SendMessageA(Item(IDC_RELIC_UNITS_CHECK), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(1, Command(IDC_RELIC_UNITS_CHECK, 0xFFFF));
    EXPECT_TRUE(profiles_[3]->bRelicUnits);
    EXPECT_EQ(0, Command(1));
    EXPECT_EQ(1, Send(WM_CREATE, 0, 0));
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    // Escape's IDCANCEL is Cancel.
    EXPECT_EQ(1, Command(IDCANCEL));
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

// The whole program on a fresh layer, as a new process would start it.
int RunProgram(const std::string& path, HINSTANCE instance = own::ProgramInstance()) {
    UnregisterClassA("DLGCLASS", own::ProgramInstance());
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    support::SetModulePathForTesting(path);
    char commandLine[] = "ignored";
    return WinMain(instance, nullptr, commandLine, 0);
}

TEST(start_up, gives_up_with_exit_code_0_before_any_window_without_a_folder) {
    EXPECT_EQ(0, RunProgram("AIControlPanel"));
    EXPECT_EQ(0, RunProgram("/tmp/AIControlPanel", reinterpret_cast<HINSTANCE>(0x10)));
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
