// The terminal front end on the real dialog, without a terminal: what the picture shows where,
// and keys and mouse through the controller. The program in a real terminal is tmux_test.sh's.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "panel/dialog_window.h"
#include "platform/own/resources.h"
#include "profiles/ai_setting.h"
#include "profiles/profile_registry.h"
#include "res/program_resources.h"
#include "res/resource.h"
#include "terminal/controller.h"
#include "tests/support/test_support.h"

namespace {

using terminal::Key;
using terminal::MouseAction;
using terminal::Picture;

struct Cell {
    int col = -1, row = -1;
};

// The control panel as start-up leaves it: five profiles handed over, the "Hard" tab shown.
class TerminalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        own::ResetLayer();
        UnregisterClassA("DLGCLASS", own::ProgramInstance());
        support::ForgetProfiles();
        own::SetProgramResources(kProgramResFile, kProgramResFileSize);
        ASSERT_TRUE(window.Create(own::ProgramInstance()));
        for (int i = 0; i < 5; ++i) {
            profiles[i] = std::make_unique<AISetting>(kProfileNames[i]);
            window.AddProfile(profiles[i].get());
        }
        window.Refresh();
        headless::DoEvents();
    }

    HWND Item(int id) const { return GetDlgItem(window.hDialog, id); }
    static Picture Screen(int cols = 80, int rows = 24) { return terminal::Render(cols, rows); }
    // The first cell at which the text stands on screen.
    static Cell Find(const Picture& picture, const std::string& text) {
        for (int row = 0; row < picture.canvas.rows(); ++row) {
            auto col = picture.canvas.Row(row).find(text);
            if (col != std::string::npos)
                return {static_cast<int>(col), row};
        }
        return {};
    }
    // The cells on which a control is drawn.
    terminal::CellRect CellsOf(const Picture& picture, int id) const {
        headless::WindowInfo info;
        headless::GetWindowInfo(Item(id), &info);
        return picture.Find(window.hDialog)->layout.Cells(info.rect);
    }
    // The row on which a control is drawn: that of its middle.
    int RowOf(const Picture& picture, int id) const {
        headless::WindowInfo info;
        headless::GetWindowInfo(Item(id), &info);
        return picture.Find(window.hDialog)->layout.Row((info.rect.top + info.rect.bottom) / 2);
    }
    void Press(Key key) {
        controller.OnKey(key);
        headless::DoEvents();
    }
    // A click, left for the loop that runs (inside a script step: a message box's).
    void Tap(const Picture& picture, Cell at) {
        controller.OnMouse(picture, MouseAction::kPress, at.col, at.row);
        controller.OnMouse(picture, MouseAction::kRelease, at.col, at.row);
    }
    void Click(const Picture& picture, Cell at) {
        Tap(picture, at);
        headless::DoEvents();
    }

    DialogWindow window;
    std::unique_ptr<AISetting> profiles[5];
    terminal::Controller controller;
};

TEST_F(TerminalTest, tab_visits_the_controls_in_reading_order_and_wraps) {
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
    for (int id : order) {
        Press(Key::kTab);
        EXPECT_EQ(Item(id), GetFocus()) << id;
    }
    Press(Key::kTab);
    EXPECT_EQ(Item(IDC_PROFILE_TABS), GetFocus());
    Press(Key::kBackTab);
    EXPECT_EQ(Item(IDC_CANCEL), GetFocus());
    // On the tab control, Left and Right change the tab and move no slider.
    Press(Key::kTab);
    Press(Key::kRight);
    EXPECT_EQ(3, window.iCurrentTab);
    EXPECT_TRUE(Find(Screen(), "[Harder]").row >= 0);
    EXPECT_EQ(0, profiles[2]->iDancing);
}

TEST_F(TerminalTest, layout_keeps_the_template_arrangement_in_80_x_24) {
    Picture picture = Screen();
    ASSERT_FALSE(picture.tooSmall);
    EXPECT_EQ(0, Find(picture, "AI Control Panel").row);
    EXPECT_EQ(23, Find(picture, "Tab/S-Tab focus").row);
    // Each group box below the last, its slider and value label on one row inside it.
    int previous = Find(picture, "[Hard]").row + 1;
    for (auto [slider, label] : {std::pair{IDC_DANCING_SLIDER, IDC_DANCING_LABEL},
                                 {IDC_ATTACK_DELAY_SLIDER, IDC_ATTACK_DELAY_LABEL},
                                 {IDC_TECH_SPEED_SLIDER, IDC_TECH_SPEED_LABEL},
                                 {IDC_HANDICAP_SLIDER, IDC_HANDICAP_LABEL}}) {
        EXPECT_GT(RowOf(picture, slider), previous + 1) << slider;
        EXPECT_EQ(RowOf(picture, slider), RowOf(picture, label)) << slider;
        EXPECT_LE(CellsOf(picture, slider).right, CellsOf(picture, label).left) << slider;
        previous = RowOf(picture, slider);
    }
    // Check boxes in three rows of two aligned columns; the buttons in one row, in order.
    const int boxes[] = {IDC_ALTERNATIVE_STRATEGIES_CHECK,
                         IDC_RELIC_UNITS_CHECK,
                         IDC_HARASSING_CHECK,
                         IDC_TURRETS_CHECK,
                         IDC_MULTI_BUILDINGS_CHECK,
                         IDC_MINES_CHECK};
    for (int i = 0; i < 6; ++i) {
        terminal::CellRect box = CellsOf(picture, boxes[i]), first = CellsOf(picture, boxes[i % 2]);
        EXPECT_EQ(previous + 2 + i / 2, RowOf(picture, boxes[i])) << boxes[i];
        EXPECT_EQ(first.left, box.left) << boxes[i];
    }
    const int buttons[] = {IDC_OK, IDC_APPLY, IDC_RESET, IDC_CANCEL};
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(CellsOf(picture, IDC_OK).top, CellsOf(picture, buttons[i]).top);
        EXPECT_LT(CellsOf(picture, buttons[i - 1]).right, CellsOf(picture, buttons[i]).left);
    }
}

TEST_F(TerminalTest, clicks_reach_the_control_drawn_there) {
    Click(Screen(), Find(Screen(), "Build Mines"));
    EXPECT_TRUE(profiles[2]->bMines);
    EXPECT_TRUE(Find(Screen(), "[x] Build Mines").row >= 0);
    Click(Screen(), Find(Screen(), "Insane"));
    EXPECT_EQ(4, window.iCurrentTab);
    Click(Screen(), Cell{0, 23});  // outside every window
    EXPECT_EQ(4, window.iCurrentTab);
}

TEST_F(TerminalTest, a_message_box_stands_over_the_dialog_which_still_takes_input) {
    support::ScriptedInput script;
    script
        .Then([&] {
            Picture picture = Screen();
            Cell text = Find(picture, "File error!");
            EXPECT_EQ(text.row + 1, Find(picture, "Using default settings now.").row);
            EXPECT_GT(text.row, Find(picture, "Dancing").row);
            EXPECT_TRUE(Find(picture, "Enter/Esc OK").row >= 0);
            Tap(picture, Find(picture, "Build Mines"));  // beside the box
        })
        .Then([&] {
            Cell ok = Find(Screen(), " OK ");
            Tap(Screen(), Cell{ok.col + 1, ok.row});
        });
    EXPECT_EQ(IDOK,
              MessageBoxA(nullptr, "File error!\nUsing default settings now.", "Error", MB_OK));
    EXPECT_TRUE(profiles[2]->bMines);
    EXPECT_EQ(-1, Find(Screen(), "File error!").row);
    EXPECT_EQ(0u, script.remaining());
}

TEST_F(TerminalTest, a_small_terminal_gets_a_message_and_a_wide_box_is_cut) {
    Picture narrow = Screen(78, 24);
    EXPECT_TRUE(narrow.tooSmall && narrow.windows.empty());
    EXPECT_TRUE(Find(narrow, "Terminal too small: 78 x 24.").row >= 0);
    EXPECT_TRUE(Screen(80, 23).tooSmall);
    EXPECT_FALSE(Screen(79, 24).tooSmall);
    EXPECT_EQ(20, Screen(120, 40).Find(window.hDialog)->layout.Bounds().left);  // centred
    support::ScriptedInput script;
    script.Then([] {
        Picture picture = Screen();
        EXPECT_FALSE(picture.tooSmall);
        EXPECT_TRUE(Find(picture, "xxxxxxxxxx").row >= 0);
    });
    script.Then([this] { controller.OnKey(Key::kEnter); });
    MessageBoxA(nullptr, std::string(200, 'x').c_str(), "Error", MB_OK);
}

TEST(canvas, clips_at_every_edge_and_keeps_control_characters_off_the_terminal) {
    terminal::Canvas canvas(6, 2);
    canvas.Text(-2, 0, "abcdefghij", terminal::Role::kFace, 100);
    canvas.Text(0, 1, "a\nb\x1b", terminal::Role::kFace, 4);
    canvas.Frame(terminal::CellRect{4, -1, 10, 5}, terminal::Role::kFace);
    EXPECT_EQ("cdef|h\na?b?| \n", canvas.ToText());
}

}  // namespace
