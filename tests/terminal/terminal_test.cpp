// The terminal front end on the real dialog, without a terminal: what the picture shows where,
// and keys and mouse through the controller. The program in a real terminal is tmux_test.sh's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "terminal/controller.h"
#include "tests/support/panel.h"

namespace {

using terminal::MouseAction;
using terminal::Picture;

struct Cell {
    int col = -1, row = -1;
};

// The control panel as start-up leaves it, and the terminal's controller.
class TerminalTest : public ::testing::Test {
  protected:
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
    // A click, left for the loop that runs (inside a script step: a message box's).
    void Tap(const Picture& picture, Cell at) {
        controller.OnMouse(picture, MouseAction::kPress, at.col, at.row);
        controller.OnMouse(picture, MouseAction::kRelease, at.col, at.row);
    }

    support::Panel panel;
    terminal::Controller controller;
};

// Controls apart in the template stay apart on screen and in the same order, and edges that line
// up there line up here.
TEST_F(TerminalTest, layout_keeps_the_template_arrangement_in_80_x_24) {
    Picture picture = Screen();
    ASSERT_FALSE(picture.tooSmall);
    EXPECT_EQ(0, Find(picture, "AI Control Panel").row);
    EXPECT_EQ(23, Find(picture, "Tab/S-Tab focus").row);
    const terminal::Layout& layout = picture.Find(panel.window.hDialog)->layout;
    std::vector<headless::WindowInfo> controls;
    for (const headless::WindowInfo& w : headless::Windows()) {
        if (w.parent == panel.window.hDialog)
            controls.push_back(w);
    }
    ASSERT_EQ(23u, controls.size());
    for (const headless::WindowInfo& a : controls) {
        for (const headless::WindowInfo& b : controls) {
            terminal::CellRect ca = layout.Cells(a.rect), cb = layout.Cells(b.rect);
            bool beside = a.rect.top < b.rect.bottom && b.rect.top < a.rect.bottom;
            SCOPED_TRACE(a.text + " / " + b.text);
            EXPECT_TRUE(a.rect.bottom > b.rect.top || ca.top < cb.top);
            EXPECT_TRUE(!beside || a.rect.right > b.rect.left || ca.right <= cb.left);
            EXPECT_TRUE(a.rect.left != b.rect.left || ca.left == cb.left);
            EXPECT_TRUE(a.rect.top != b.rect.top || ca.top == cb.top);
        }
    }
}

// Clicks reach the control drawn there, a tab's item or a check box beside the box; one outside
// every window reaches none.
TEST_F(TerminalTest, a_message_box_stands_over_the_dialog_which_still_takes_input) {
    support::ScriptedInput script;
    script
        .Then([&] {
            Picture picture = Screen();
            Cell text = Find(picture, "File error!");
            EXPECT_EQ(text.row + 1, Find(picture, "Using default settings now.").row);
            EXPECT_GT(text.row, Find(picture, "Dancing").row);
            Tap(picture, Find(picture, "Build Mines"));
            Tap(picture, Find(picture, "Insane"));
            Tap(picture, Cell{0, 23});
        })
        .Then([&] {
            Cell ok = Find(Screen(), " OK ");
            Tap(Screen(), Cell{ok.col + 1, ok.row});
        });
    EXPECT_EQ(IDOK,
              MessageBoxA(nullptr, "File error!\nUsing default settings now.", "Error", MB_OK));
    EXPECT_TRUE(panel.profiles[2]->bMines);
    EXPECT_EQ(4, panel.window.iCurrentTab);
    EXPECT_EQ(-1, Find(Screen(), "File error!").row);
    EXPECT_EQ(0u, script.remaining());
}

// A box wider than the terminal stands at its left edge and is cut at its right one. (Too small
// a terminal: tmux_test.sh.)
TEST_F(TerminalTest, the_dialog_is_centred_and_a_wide_box_is_cut) {
    EXPECT_EQ(20, Screen(120, 40).Find(panel.window.hDialog)->layout.Bounds().left);  // centred
    support::ScriptedInput script;
    script.Then([] {
        Picture picture = Screen();
        int row = Find(picture, "xxxxxxxxxx").row;
        EXPECT_EQ(" Error" + std::string(74, ' '), picture.canvas.Row(row - 1));
        EXPECT_EQ("|  " + std::string(77, 'x'), picture.canvas.Row(row));
        EXPECT_EQ("+" + std::string(79, '-'), picture.canvas.Row(row + 2));
    });
    script.Then([this] { controller.OnKey(terminal::Key::kEnter); });
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
