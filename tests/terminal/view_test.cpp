// The dialog as the terminal draws it: every text where a person looks for it, the template's
// arrangement kept in 80 x 24, the controls' state shown, and the message for a small terminal.
#include <algorithm>

#include "tests/terminal/terminal_fixture.h"

using terminal::Picture;

TEST_F(TerminalTest, start_up_screen_shows_caption_tabs_labels_and_buttons) {
    Picture picture = Screen();
    ASSERT_FALSE(picture.tooSmall);
    EXPECT_EQ(0, Find(picture, "AI Control Panel").row);
    EXPECT_TRUE(Find(picture, "[X]").found());
    // The "Hard" tab is the selected one, between "Standard" and "Harder".
    CellAt hard = Find(picture, "[Hard]");
    ASSERT_TRUE(hard.found());
    EXPECT_FALSE(Find(picture, "[Easy]").found());
    EXPECT_LT(Find(picture, "Standard").col, hard.col);
    EXPECT_GT(Find(picture, "Harder").col, hard.col);
    for (const char* text :
         {"Easy", "Insane", "Dancing", "Attack Delay", "Tech Speed", "Teching Handicap",
          "Alternative Strategies", "Build Relic Units", "Early Harassing", "Build Turrets",
          "Dynamic Production Buildings", "Build Mines"}) {
        EXPECT_TRUE(Find(picture, text).found()) << text;
    }
    // Fresh profiles: every value label from the table's zero row.
    EXPECT_TRUE(Find(picture, "0 minutes").found());
    EXPECT_TRUE(Find(picture, "Average").found());
    // The four buttons in one row, in the template's order.
    CellAt ok = Find(picture, " OK "), apply = Find(picture, "Apply"),
           reset = Find(picture, "Reset"), cancel = Find(picture, "Cancel");
    EXPECT_EQ(ok.row, apply.row);
    EXPECT_EQ(ok.row, reset.row);
    EXPECT_EQ(ok.row, cancel.row);
    EXPECT_LT(ok.col, apply.col);
    EXPECT_LT(apply.col, reset.col);
    EXPECT_LT(reset.col, cancel.col);
    // The keys, on the last row.
    EXPECT_EQ(23, Find(picture, "Tab/S-Tab focus").row);
    EXPECT_TRUE(Find(picture, "q close").found());
}

TEST_F(TerminalTest, layout_keeps_the_template_arrangement) {
    Picture picture = Screen();
    struct Row {
        const char* group;
        int slider, label;
    };
    const Row rows[] = {{"Dancing", IDC_DANCING_SLIDER, IDC_DANCING_LABEL},
                        {"Attack Delay", IDC_ATTACK_DELAY_SLIDER, IDC_ATTACK_DELAY_LABEL},
                        {"Tech Speed", IDC_TECH_SPEED_SLIDER, IDC_TECH_SPEED_LABEL},
                        {"Teching Handicap", IDC_HANDICAP_SLIDER, IDC_HANDICAP_LABEL}};
    // Below the row of tabs and the page's top edge under it.
    int previousBottom = Find(picture, "[Hard]").row + 2;
    for (const Row& row : rows) {
        HWND group = headless::FindChild(Dialog(), "Button", row.group);
        terminal::CellRect box = CellsOf(picture, group);
        // Each group box below the last, its slider and value label on one row inside it.
        EXPECT_GT(box.top, previousBottom - 1) << row.group;
        EXPECT_EQ(box.top, Find(picture, row.group).row) << row.group;
        int slider = RowOf(picture, row.slider);
        EXPECT_GT(slider, box.top) << row.group;
        EXPECT_LT(slider, box.bottom - 1) << row.group;
        EXPECT_EQ(slider, RowOf(picture, row.label)) << row.group;
        terminal::CellRect label = CellsOf(picture, Item(row.label));
        EXPECT_LT(CellsOf(picture, Item(row.slider)).right, label.left + 1) << row.group;
        previousBottom = box.bottom;
    }
    // Check boxes: three rows below the last group box, in two aligned columns.
    const int left[] = {IDC_ALTERNATIVE_STRATEGIES_CHECK, IDC_HARASSING_CHECK,
                        IDC_MULTI_BUILDINGS_CHECK};
    const int right[] = {IDC_RELIC_UNITS_CHECK, IDC_TURRETS_CHECK, IDC_MINES_CHECK};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(previousBottom + i, RowOf(picture, left[i]));
        EXPECT_EQ(RowOf(picture, left[i]), RowOf(picture, right[i]));
        EXPECT_EQ(CellsOf(picture, Item(left[0])).left, CellsOf(picture, Item(left[i])).left);
        EXPECT_EQ(CellsOf(picture, Item(right[0])).left, CellsOf(picture, Item(right[i])).left);
    }
    // The tab control frames them all; the buttons stand below it, inside the dialog's frame.
    terminal::CellRect tabs = CellsOf(picture, Item(IDC_PROFILE_TABS));
    EXPECT_EQ(RowOf(picture, IDC_MINES_CHECK) + 1, tabs.bottom - 1);
    EXPECT_GT(RowOf(picture, IDC_OK), tabs.bottom - 1);
    EXPECT_LT(RowOf(picture, IDC_OK), picture.Find(Dialog())->layout.Bounds().bottom - 1);
}

TEST_F(TerminalTest, screen_follows_the_controls_state) {
    Picture before = Screen();
    int sliderRow = RowOf(before, IDC_ATTACK_DELAY_SLIDER);
    std::string channel = before.canvas.Row(sliderRow);
    // One thumb and eleven ticks on the Attack Delay channel (range 0 to 10).
    EXPECT_EQ(1, std::count(channel.begin(), channel.end(), '#'));
    EXPECT_EQ(10, std::count(channel.begin(), channel.end(), '+'));

    SendMessageA(Item(IDC_ATTACK_DELAY_SLIDER), TBM_SETPOS, TRUE, 10);
    SendMessageA(Item(IDC_MINES_CHECK), BM_SETCHECK, BST_CHECKED, 0);
    SetWindowTextA(Item(IDC_ATTACK_DELAY_LABEL), "20 minutes");
    SendMessageA(Item(IDC_PROFILE_TABS), TCM_SETCURSEL, 4, 0);
    Picture after = Screen();
    std::string moved = after.canvas.Row(sliderRow);
    EXPECT_GT(moved.find('#'), channel.find('#'));
    EXPECT_TRUE(Find(after, "[x] Build Mines").found());
    EXPECT_TRUE(Find(after, "20 minutes").found());
    EXPECT_TRUE(Find(after, "[Insane]").found());
    EXPECT_FALSE(Find(after, "[Hard]").found());
}

TEST_F(TerminalTest, too_small_terminal_gets_a_message_and_no_dialog) {
    for (auto [cols, rows] : {std::pair{78, 24}, std::pair{80, 23}, std::pair{20, 5}}) {
        Picture picture = Screen(cols, rows);
        EXPECT_TRUE(picture.tooSmall) << cols << " x " << rows;
        EXPECT_TRUE(picture.windows.empty());
        EXPECT_FALSE(Find(picture, "Hard").found());
        EXPECT_TRUE(Find(picture, "Terminal too small").found()) << picture.canvas.ToText();
    }
    Picture narrow = Screen(78, 24);
    EXPECT_TRUE(Find(narrow, "Terminal too small: 78 x 24.").found());
    EXPECT_TRUE(Find(narrow, "needs 79 x 24.").found());
    EXPECT_TRUE(Find(narrow, "press q to close").found());

    EXPECT_FALSE(Screen(79, 24).tooSmall);
    // A message box wider than the terminal is cut, not a reason to hide the dialog.
    support::ScriptedInput script;
    script.Then([] {
        Picture picture = Screen();
        EXPECT_FALSE(picture.tooSmall);
        EXPECT_TRUE(Find(picture, "[Hard]").found());
        EXPECT_TRUE(Find(picture, "xxxxxxxxxx").found());
        EXPECT_EQ(80, picture.canvas.cols());
    });
    script.Then([this] { controller.OnKey(terminal::Key::kEnter); });
    MessageBoxA(nullptr, std::string(200, 'x').c_str(), "Error", MB_OK);
    EXPECT_EQ(0u, script.remaining());
    // A larger terminal centres the dialog.
    EXPECT_EQ(20, Screen(120, 40).Find(Dialog())->layout.Bounds().left);
}

TEST(canvas, clips_at_every_edge_and_keeps_control_characters_off_the_terminal) {
    terminal::Canvas canvas(6, 2);
    canvas.Text(-2, 0, "abcdefghij", terminal::Role::kFace, 100);
    canvas.Text(0, 1, "a\nb\x1b", terminal::Role::kFace, 3);
    canvas.Frame(terminal::CellRect{4, -1, 10, 5}, terminal::Role::kFace);
    EXPECT_EQ("cdef|h\na?b | \n", canvas.ToText());
}
