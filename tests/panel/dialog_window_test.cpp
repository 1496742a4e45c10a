// The panel's window on the own layer: its set-up, the mapping between controls and the current
// profile, and the decisions of its message handler, each message sent as the platform sends it.
#include <filesystem>

#include "panel_fixture.h"

namespace {

TEST_F(PanelTest, create_sets_up_every_control_and_registers_the_window) {
    std::size_t registered = WindowRegistry::Count();
    ASSERT_TRUE(Create());
    EXPECT_EQ(registered + 1, WindowRegistry::Count());
    EXPECT_EQ(window.get(), WindowRegistry::At(registered));

    headless::TabState tabs;
    ASSERT_TRUE(headless::GetTabState(window->hTabControl, &tabs));
    EXPECT_EQ((std::vector<std::string>{"Easy", "Standard", "Hard", "Harder", "Insane"}),
              tabs.items);
    EXPECT_EQ(2, tabs.selected);
    EXPECT_EQ(2, window->iCurrentTab);
    EXPECT_TRUE(window->profiles.empty());

    struct Expected {
        int id, min, max, pos;
        HWND handle;
    };
    for (Expected slider : {Expected{1000, 0, 2, 2, window->hDancingSlider},
                            Expected{1001, 0, 10, 0, window->hAttackDelaySlider},
                            Expected{1014, -2, 2, 0, window->hTechSpeedSlider},
                            Expected{1003, -2, 2, 0, window->hHandicapSlider}}) {
        headless::TrackbarState state;
        ASSERT_TRUE(headless::GetTrackbarState(Item(slider.id), &state)) << slider.id;
        EXPECT_EQ(Item(slider.id), slider.handle);
        EXPECT_EQ(slider.min, state.min) << slider.id;
        EXPECT_EQ(slider.max, state.max) << slider.id;
        EXPECT_EQ(1, state.page) << slider.id;
        EXPECT_EQ(slider.pos, state.pos) << slider.id;
    }
    // Each label in its slider's row.
    EXPECT_EQ(Item(1009), window->hDancingLabel);
    EXPECT_EQ(Item(1010), window->hAttackDelayLabel);
    EXPECT_EQ(Item(1015), window->hTechSpeedLabel);
    EXPECT_EQ(Item(1011), window->hHandicapLabel);
    EXPECT_EQ("Godlike", Text(1009));
    EXPECT_EQ("Off", Text(1010));
    EXPECT_EQ("Off", Text(1015));
    EXPECT_EQ("Off", Text(1011));
    for (int id : {1004, 1005, 1006, 1013, 1016, 1017}) {
        EXPECT_TRUE(Checked(id)) << id;
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(PanelTest, create_succeeds_once_a_process_and_reports_a_missing_template) {
    ASSERT_TRUE(Create());
    std::size_t registered = WindowRegistry::Count();
    DialogWindow second;
    EXPECT_FALSE(second.Create(own::ProgramInstance()));
    EXPECT_TRUE(boxes.boxes().empty());

    // Without the dialog template.
    UnregisterClassA("DLGCLASS", own::ProgramInstance());
    static const unsigned char kNoResources[32] = {};
    own::SetProgramResources(kNoResources, sizeof(kNoResources));
    DialogWindow third;
    EXPECT_FALSE(third.Create(own::ProgramInstance()));
    EXPECT_EQ(nullptr, third.hDialog);
    EXPECT_EQ(registered, WindowRegistry::Count());
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ("Couldn't create window!", boxes.boxes()[0].text);
    EXPECT_EQ("Error", boxes.boxes()[0].title);
    EXPECT_EQ(nullptr, boxes.boxes()[0].owner);
    EXPECT_EQ(MB_OK, boxes.boxes()[0].type);
}

// Start-up's load shows its message before the profiles are handed over, and the panel takes
// input meanwhile.
TEST_F(PanelTest, nothing_is_read_or_stored_before_the_profiles_are_handed_over) {
    ASSERT_TRUE(Create());
    window->SetDancing(1);
    window->SetAttackDelay(3);
    window->SetTechSpeed(1);
    window->SetHandicap(1);
    window->SetMines(false);
    SelectTab(0);
    window->Refresh();
    EXPECT_EQ(2, window->iCurrentTab);
    EXPECT_EQ("Godlike", Text(1009));
    EXPECT_EQ("Off", Text(1010));
    EXPECT_EQ("Off", Text(1015));
    EXPECT_EQ("Off", Text(1011));

    // No tab selected: the index keeps naming a profile.
    for (int i = 0; i < 5; ++i) {
        profiles[i] = std::make_unique<AISetting>(kProfileNames[i]);
        window->AddProfile(profiles[i].get());
    }
    window->Refresh();
    EXPECT_EQ(0, window->iCurrentTab);
    SelectTab(-1);
    window->Refresh();
    EXPECT_EQ(0, window->iCurrentTab);
}

TEST_F(PanelTest, graded_setters_store_at_once_and_label_by_their_tables) {
    CreateWithProfiles();
    AISetting& hard = *profiles[2];
    window->SetDancing(1);
    EXPECT_EQ(1, hard.iDancing);
    EXPECT_EQ("Standard", Text(1009));
    window->SetDancing(3);
    EXPECT_EQ(3, hard.iDancing);
    EXPECT_EQ("Standard", Text(1009));
    window->SetDancing(-1);
    EXPECT_EQ(-1, hard.iDancing);
    EXPECT_EQ("Standard", Text(1009));

    window->SetAttackDelay(0);
    EXPECT_EQ(0, hard.iAttackDelay);
    EXPECT_EQ("0 minutes", Text(1010));
    window->SetAttackDelay(10);
    EXPECT_EQ(20, hard.iAttackDelay);
    EXPECT_EQ("20 minutes", Text(1010));

    window->SetTechSpeed(-2);
    EXPECT_EQ("Very Slow", Text(1015));
    window->SetTechSpeed(3);
    EXPECT_EQ(3, hard.iTechSpeed);
    EXPECT_EQ("Very Slow", Text(1015));
    window->SetHandicap(-1);
    EXPECT_EQ("Allies Minor", Text(1011));
    window->SetHandicap(2);
    EXPECT_EQ("Opponents Major", Text(1011));
    EXPECT_EQ(2, hard.iHandicap);

    window->SetMultiBuildings(true);
    EXPECT_TRUE(hard.bMultiBuildings);
    EXPECT_FALSE(profiles[3]->bMultiBuildings);
}

TEST_F(PanelTest, refresh_shows_stored_values_and_makes_odd_attack_delays_even) {
    CreateWithProfiles();
    AISetting& hard = *profiles[2];
    hard.iAttackDelay = 7;
    hard.iTechSpeed = 5;
    hard.iDancing = -4;
    hard.bMines = true;
    window->Refresh();
    EXPECT_EQ(6, hard.iAttackDelay);
    EXPECT_EQ("6 minutes", Text(1010));
    EXPECT_EQ(3, SliderPosition(1001));
    EXPECT_EQ(5, hard.iTechSpeed);
    EXPECT_EQ("Off", Text(1015));
    EXPECT_EQ(2, SliderPosition(1014));
    EXPECT_EQ(-4, hard.iDancing);
    EXPECT_EQ("Godlike", Text(1009));
    EXPECT_EQ(0, SliderPosition(1000));
    EXPECT_TRUE(Checked(1017));
    EXPECT_FALSE(Checked(1004));

    hard.iAttackDelay = -3;
    window->Refresh();
    EXPECT_EQ(-2, hard.iAttackDelay);
    EXPECT_EQ("-2 minutes", Text(1010));
    EXPECT_EQ(0, SliderPosition(1001));

    hard.iAttackDelay = 30;
    window->Refresh();
    EXPECT_EQ(30, hard.iAttackDelay);
    EXPECT_EQ("30 minutes", Text(1010));
    EXPECT_EQ(10, SliderPosition(1001));

    hard.iAttackDelay = 2147483647;
    window->Refresh();
    EXPECT_EQ(2147483646, hard.iAttackDelay);
    EXPECT_EQ("2147483646 minutes", Text(1010));
}

TEST_F(PanelTest, slider_notices_of_any_kind_store_that_sliders_position) {
    CreateWithProfiles();
    window->Refresh();
    SendMessageA(Item(1001), TBM_SETPOS, TRUE, 4);
    EXPECT_EQ(1, Notify(1001, NM_RELEASEDCAPTURE));
    EXPECT_EQ(8, profiles[2]->iAttackDelay);
    EXPECT_EQ("8 minutes", Text(1010));

    SendMessageA(Item(1003), TBM_SETPOS, TRUE, -1);
    EXPECT_EQ(1, Notify(1003, 0x12345));
    EXPECT_EQ(-1, profiles[2]->iHandicap);
    EXPECT_EQ(0, profiles[2]->iTechSpeed);
    // A slider's notice is never read as a tab change, whatever its code.
    SelectTab(4);
    EXPECT_EQ(1, Notify(1014, TCN_SELCHANGE));
    EXPECT_EQ(2, window->iCurrentTab);
    // The header is read for other controls only; a missing one is no tab change.
    EXPECT_EQ(0, Send(WM_NOTIFY, 1012, 0));
    EXPECT_EQ(2, window->iCurrentTab);
}

TEST_F(PanelTest, a_selection_change_from_any_other_control_shows_the_selected_profile) {
    CreateWithProfiles();
    window->Refresh();
    profiles[3]->iDancing = 2;
    SelectTab(3);
    EXPECT_EQ(0, Notify(1012, TCN_SELCHANGING));
    EXPECT_EQ(2, window->iCurrentTab);
    EXPECT_EQ(1, Notify(1012, TCN_SELCHANGE));
    EXPECT_EQ(3, window->iCurrentTab);
    EXPECT_EQ("Godlike", Text(1009));
    SelectTab(1);
    EXPECT_EQ(1, Notify(1007, TCN_SELCHANGE));
    EXPECT_EQ(1, window->iCurrentTab);
    EXPECT_EQ("Off", Text(1009));
}

TEST_F(PanelTest, commands_act_by_control_id_alone) {
    CreateWithProfiles();
    window->Refresh();
    std::filesystem::create_directory("Core");

    // Any notification code in the high word is a click.
    EXPECT_EQ(1, Command(IDC_APPLY, 6));
    EXPECT_EQ(1218u, std::filesystem::file_size("Core/AIConfig.ai"));

    SendMessageA(Item(1005), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(1, Command(1005));
    EXPECT_TRUE(profiles[2]->bMultiBuildings);
    SendMessageA(Item(1005), BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(1, Command(1005, 0xFFFF));
    EXPECT_FALSE(profiles[2]->bMultiBuildings);
    // Each box is read from its own id.
    SendMessageA(Item(1013), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(1, Command(1016));
    EXPECT_FALSE(profiles[2]->bTurrets);
    EXPECT_EQ(1, Command(1013));
    EXPECT_TRUE(profiles[2]->bRelicUnits);

    EXPECT_EQ(0, Command(1));
    EXPECT_EQ(0, Command(2));
    EXPECT_FALSE(headless::QuitSeen());
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(PanelTest, window_messages_reach_the_handler_only_for_a_registered_dialog) {
    CreateWithProfiles();
    EXPECT_EQ(1, Send(WM_CREATE, 0, 0));
    EXPECT_EQ(0, DialogWindowProc(window->hTabControl, WM_CREATE, 0, 0));
    EXPECT_FALSE(headless::QuitSeen());
    EXPECT_EQ(0, DialogWindowProc(window->hDialog, WM_DESTROY, 0, 0));
    int code = -1;
    EXPECT_TRUE(headless::QuitSeen(&code));
    EXPECT_EQ(0, code);
}

}  // namespace
