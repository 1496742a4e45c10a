// Keys and mouse at the terminal, through the controller, reach the panel as a person's input:
// focus moves in reading order, sliders and boxes change the profile, buttons act, and message
// boxes stand over a dialog that still takes input.
#include <fstream>
#include <sstream>

#include "tests/terminal/terminal_fixture.h"

using terminal::Key;
using terminal::MouseAction;
using terminal::Picture;

TEST_F(TerminalTest, tab_visits_the_tab_stops_in_reading_order_and_wraps) {
    const int order[] = {IDC_PROFILE_TABS,
                         IDC_DANCING_SLIDER,
                         IDC_ATTACK_DELAY_SLIDER,
                         IDC_TECH_SPEED_SLIDER,
                         IDC_HANDICAP_SLIDER,
                         IDC_ALTERNATIVE_STRATEGIES_CHECK,
                         IDC_RELIC_UNITS_CHECK,
                         IDC_HARASSING_CHECK,
                         IDC_TURRETS_CHECK,
                         IDC_MULTI_BUILDINGS_CHECK,
                         IDC_MINES_CHECK,
                         IDC_OK,
                         IDC_APPLY,
                         IDC_RESET,
                         IDC_CANCEL};
    std::vector<HWND> expected;
    for (int id : order)
        expected.push_back(Item(id));
    EXPECT_EQ(expected, terminal::TabStops(Dialog()));

    for (int id : order) {
        Press(Key::kTab);
        EXPECT_EQ(Item(id), GetFocus()) << id;
    }
    Press(Key::kTab);
    EXPECT_EQ(Item(IDC_PROFILE_TABS), GetFocus());
    Press(Key::kBackTab);
    EXPECT_EQ(Item(IDC_CANCEL), GetFocus());
    Press(Key::kBackTab);
    EXPECT_EQ(Item(IDC_RESET), GetFocus());
    // Moving the focus changes nothing else.
    EXPECT_EQ(0, Hard().iDancing);
    EXPECT_FALSE(Checked(IDC_MINES_CHECK));
}

TEST_F(TerminalTest, slider_keys_move_the_focused_slider_and_store_the_value) {
    FocusById(IDC_ATTACK_DELAY_SLIDER);
    // The focused slider's channel is marked, its thumb stays a thumb; the others are plain.
    Picture picture = Screen();
    int row = RowOf(picture, IDC_ATTACK_DELAY_SLIDER);
    int thumb = static_cast<int>(picture.canvas.Row(row).find('#'));
    EXPECT_EQ(terminal::Role::kThumb, picture.canvas.At(thumb, row).role);
    EXPECT_EQ(terminal::Role::kFocus, picture.canvas.At(thumb + 1, row).role);
    EXPECT_EQ(terminal::Role::kFace,
              picture.canvas.At(thumb + 1, RowOf(picture, IDC_TECH_SPEED_SLIDER)).role);
    Press(Key::kRight);
    EXPECT_EQ(2, Hard().iAttackDelay);
    EXPECT_TRUE(Find(Screen(), "2 minutes").found());
    Press(Key::kEnd);
    EXPECT_EQ(20, Hard().iAttackDelay);
    Press(Key::kPageUp);
    EXPECT_EQ(18, Hard().iAttackDelay);
    // Only the focused slider moved.
    EXPECT_EQ(0, Hard().iDancing);
    EXPECT_EQ(0, Hard().iTechSpeed);
}

TEST_F(TerminalTest, space_ticks_the_focused_box_and_left_right_change_tabs) {
    FocusById(IDC_MINES_CHECK);
    Press(Key::kSpace);
    EXPECT_TRUE(Checked(IDC_MINES_CHECK));
    EXPECT_TRUE(Hard().bMines);
    EXPECT_TRUE(Find(Screen(), "[x] Build Mines").found());
    Press(Key::kSpace);
    EXPECT_FALSE(Hard().bMines);

    FocusById(IDC_PROFILE_TABS);
    Press(Key::kRight);
    EXPECT_TRUE(Find(Screen(), "[Harder]").found());
    EXPECT_EQ(3, window->iCurrentTab);
    Press(Key::kLeft);
    Press(Key::kLeft);
    EXPECT_TRUE(Find(Screen(), "[Standard]").found());
    // Arrows on the tab control move no slider.
    EXPECT_EQ(0, Hard().iDancing);
}

TEST_F(TerminalTest, enter_and_space_press_the_focused_button) {
    FocusById(IDC_ATTACK_DELAY_SLIDER);
    Press(Key::kEnd);
    // Enter on a control that is no button does nothing.
    Press(Key::kEnter);
    EXPECT_FALSE(std::filesystem::exists("Core/AIConfig.ai"));

    FocusById(IDC_APPLY);
    Press(Key::kEnter);
    std::ifstream file("Core/AIConfig.ai", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(std::string::npos, text.str().find("AISettings_Hard =\r\n{\r\n\tiDancing = 0,\r\n"
                                                 "\tiAttackDelay = 20,\r\n"));
    EXPECT_TRUE(IsWindow(Dialog()));
    EXPECT_FALSE(headless::QuitSeen());

    FocusById(IDC_CANCEL);
    Press(Key::kSpace);
    EXPECT_TRUE(headless::QuitSeen());
}

TEST_F(TerminalTest, mouse_clicks_and_drags_where_the_controls_are_drawn) {
    CellAt mines = Find(Screen(), "Build Mines");
    Click(mines.col + 2, mines.row);
    EXPECT_TRUE(Hard().bMines);
    EXPECT_EQ(Item(IDC_MINES_CHECK), GetFocus());

    CellAt harder = Find(Screen(), "Harder");
    Click(harder.col, harder.row);
    EXPECT_EQ(3, window->iCurrentTab);

    // Drag the Tech Speed thumb from the middle to the rightmost tick.
    Picture picture = Screen();
    int row = RowOf(picture, IDC_TECH_SPEED_SLIDER);
    std::string channel = picture.canvas.Row(row);
    int thumb = static_cast<int>(channel.find('#'));
    int last = static_cast<int>(channel.rfind('+'));
    ASSERT_GT(last, thumb);
    controller.OnMouse(picture, MouseAction::kPress, thumb, row);
    controller.OnMouse(picture, MouseAction::kMove, (thumb + last) / 2, row);
    controller.OnMouse(picture, MouseAction::kMove, last, row);
    controller.OnMouse(picture, MouseAction::kRelease, last, row);
    headless::DoEvents();
    EXPECT_EQ(2, Position(IDC_TECH_SPEED_SLIDER));
    EXPECT_EQ(2, profiles[3]->iTechSpeed);
    EXPECT_TRUE(Find(Screen(), "Very Fast").found());

    // Outside every window a press does nothing.
    Click(0, 23);
    EXPECT_TRUE(IsWindow(Dialog()));
    CellAt close = Find(Screen(), "[X]");
    Click(close.col + 1, close.row);
    EXPECT_FALSE(IsWindow(Dialog()));
    EXPECT_TRUE(headless::QuitSeen());
}

TEST_F(TerminalTest, message_box_stands_over_the_dialog_which_still_takes_input) {
    enum class Answer { kEnter, kEscape, kClickOk };
    for (Answer answer : {Answer::kEnter, Answer::kEscape, Answer::kClickOk}) {
        support::ScriptedInput script;
        bool mines = Hard().bMines;
        script
            .Then([&] {
                Picture picture = Screen();
                CellAt title = Find(picture, "Error");
                CellAt first = Find(picture, "File error!");
                CellAt second = Find(picture, "Using default settings now.");
                CellAt ok = Find(picture, " OK ");
                ASSERT_TRUE(first.found()) << picture.canvas.ToText();
                EXPECT_LT(title.row, first.row);
                EXPECT_EQ(first.row + 1, second.row);
                EXPECT_LT(second.row, ok.row);
                // Drawn over the dialog's sliders, with its own line of keys.
                EXPECT_GT(first.row, Find(picture, "Dancing").row);
                EXPECT_TRUE(Find(picture, "Enter/Esc OK").found());
                // A click on the dialog beside the box reaches the dialog.
                CellAt box = Find(picture, "Build Mines");
                controller.OnMouse(picture, MouseAction::kPress, box.col, box.row);
                controller.OnMouse(picture, MouseAction::kRelease, box.col, box.row);
            })
            .Then([&] {
                EXPECT_EQ(1u, headless::OpenBoxes().size());
                EXPECT_NE(mines, Hard().bMines);
                Picture picture = Screen();
                CellAt ok = Find(picture, " OK ");
                if (answer == Answer::kClickOk) {
                    controller.OnMouse(picture, MouseAction::kPress, ok.col + 1, ok.row);
                    controller.OnMouse(picture, MouseAction::kRelease, ok.col + 1, ok.row);
                } else {
                    controller.OnKey(answer == Answer::kEnter ? Key::kEnter : Key::kEscape);
                }
            });
        EXPECT_EQ(IDOK,
                  MessageBoxA(nullptr, "File error!\nUsing default settings now.", "Error", MB_OK));
        EXPECT_TRUE(headless::OpenBoxes().empty());
        EXPECT_EQ(0u, script.remaining());
        EXPECT_FALSE(Find(Screen(), "File error!").found());
        EXPECT_TRUE(IsWindow(Dialog()));
    }
}
