// Dialogs from a template and message boxes: failures that leave no window, and the modal loop of
// a box that goes on serving the other windows. Where the dialog and its controls stand, and boxes
// opened inside boxes, are the scenarios' (held to the real program by the differential).
#include <gtest/gtest.h>

#include "layer_fixture.h"
#include "platform/own/dialog.h"
#include "res/resource.h"

using namespace seq;

namespace {

using Dialogs = LayerTest;

TEST_F(Dialogs, a_dialog_that_cannot_be_made_leaves_no_window) {
    // Without its class (the panel registers it).
    EXPECT_EQ(nullptr,
              CreateDialogParamA(own::ProgramInstance(), MAKEINTRESOURCEA(IDD_CONTROL_PANEL),
                                 nullptr, nullptr, 0));
    // A control class that does not exist fails the dialog, and what was made goes again.
    own::DialogTemplate t{};
    t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT;
    t.items = {{0, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 50, 14, 1, 0x0080, "", "OK"},
               {0, WS_CHILD | WS_VISIBLE, 0, 20, 50, 14, 2, 0, "msctls_progress32", ""}};
    EXPECT_EQ(nullptr,
              own::CreateDialogFromTemplate(t, own::ProgramInstance(), nullptr, nullptr, 0));
    EXPECT_TRUE(headless::Windows().empty());
}

TEST_F(Dialogs, clicks_pass_through_labels) {
    support::Panel panel;
    HWND dialog = panel.window.hDialog, label = panel.Item(IDC_ATTACK_DELAY_LABEL);
    Watch(dialog);
    // A label is transparent to the mouse: the click reaches the dialog.
    support::Click(label);
    support::DoEvents();
    EXPECT_SEQUENCE(label, dialog,
                    {{WM_LBUTTONDOWN, posted | parent}, {WM_LBUTTONUP, posted | parent}});
}

TEST_F(Dialogs, a_boxs_modal_loop_serves_the_window_beneath_until_ok) {
    HWND parentWnd = CreateParent();
    HWND check =
        CreateControl("Button", "Build Mines", BS_AUTOCHECKBOX, 10, 10, 120, 20, 1017, parentWnd);
    Watch(parentWnd);
    support::ScriptedInput script;
    script.Then([&] { support::Click(check); }).Then([] {
        support::Click(headless::OpenBoxes().back().okButton);
    });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "File error!\nUsing defaults.", "Error", MB_OK));
    // The box took the activation; the click gave it back to the window, which went on working;
    // dismissing the box raised the window again.
    EXPECT_EQ(static_cast<LRESULT>(BST_CHECKED), SendMessageA(check, BM_GETCHECK, 0, 0));
    EXPECT_SEQUENCE(nullptr, parentWnd,
                    {{WM_ACTIVATE, sent | parent | wparam, WA_INACTIVE},
                     {WM_KILLFOCUS, sent | parent},
                     {WM_ACTIVATE, sent | parent | wparam, WA_CLICKACTIVE},
                     {WM_SETFOCUS, sent | parent},
                     {WM_KILLFOCUS, sent | parent},
                     {WM_COMMAND, sent | parent | wparam, MAKEWPARAM(1017, BN_CLICKED)},
                     {WM_ACTIVATE, sent | parent | wparam, WA_INACTIVE},
                     {WM_ACTIVATE, sent | parent | wparam, WA_ACTIVE},
                     {WM_SETFOCUS, sent | parent}});
}

// Enter, Space and Escape end a box in the scenarios.
TEST_F(Dialogs, the_close_box_ends_a_box) {
    support::ScriptedInput script;
    script.Then([] { headless::CloseWindow(headless::OpenBoxes().back().box); });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "c", "Error", MB_OK));
    EXPECT_TRUE(headless::OpenBoxes().empty());
    EXPECT_EQ(0u, script.remaining());
}

}  // namespace
