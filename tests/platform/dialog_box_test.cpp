// Dialogs from a template and message boxes: the dialog's geometry, failures that leave no
// window, and the modal loop of a box that goes on serving the other windows.
#include <gtest/gtest.h>

#include "layer_fixture.h"
#include "platform/own/dialog.h"
#include "res/resource.h"

using namespace seq;

namespace {

using Dialogs = LayerTest;

TEST_F(Dialogs, dialog_units_become_pixels_and_the_dialog_is_centred) {
    HWND dialog = CreatePanel();
    ASSERT_NE(nullptr, dialog);
    std::vector<headless::WindowInfo> all = headless::Windows();
    ASSERT_EQ(24u, all.size());
    const headless::WindowInfo& d = all[0];
    EXPECT_TRUE(d.visible && d.active);
    // 246 x 268 units at 6 x 13 pixels per 4 x 8 units; DS_CENTER centres the window.
    EXPECT_EQ(369, d.client.right - d.client.left);
    EXPECT_EQ(436, d.client.bottom - d.client.top);
    EXPECT_NEAR(headless::kScreenWidth, d.rect.left + d.rect.right, 1);
    EXPECT_NEAR(headless::kScreenHeight, d.rect.top + d.rect.bottom, 1);
    // The first control of the template is on top; the Dancing slider is at (25, 35) 135 x 20.
    EXPECT_EQ(IDC_OK, all[1].id);
    headless::WindowInfo slider;
    ASSERT_TRUE(headless::GetWindowInfo(GetDlgItem(dialog, IDC_DANCING_SLIDER), &slider));
    EXPECT_EQ(d.client.left + 38, slider.rect.left);
    EXPECT_EQ(d.client.top + 57, slider.rect.top);
    EXPECT_EQ(203, slider.rect.right - slider.rect.left);
    EXPECT_EQ(33, slider.rect.bottom - slider.rect.top);
}

TEST_F(Dialogs, a_dialog_that_cannot_be_made_leaves_no_window) {
    EXPECT_EQ(nullptr, CreateDialogParamA(own::ProgramInstance(), MAKEINTRESOURCEA(103), nullptr,
                                          nullptr, 0));
    EXPECT_EQ(ERROR_RESOURCE_NAME_NOT_FOUND, GetLastError());
    UnregisterClassA("DLGCLASS", own::ProgramInstance());
    EXPECT_EQ(nullptr, CreatePanel());
    // A control class that does not exist fails the dialog, unless DS_NOFAILCREATE says otherwise.
    own::DialogTemplate t{};
    t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT;
    own::DialogItem ok{};
    ok.style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    ok.classAtom = 0x0080;
    own::DialogItem missing = ok;
    missing.classAtom = 0;
    missing.className = "msctls_progress32";
    t.items = {ok, missing};
    EXPECT_EQ(nullptr,
              own::CreateDialogFromTemplate(t, own::ProgramInstance(), nullptr, nullptr, 0));
    EXPECT_TRUE(headless::Windows().empty());
    t.style |= DS_NOFAILCREATE;
    ASSERT_NE(nullptr,
              own::CreateDialogFromTemplate(t, own::ProgramInstance(), nullptr, nullptr, 0));
    EXPECT_EQ("#32770", headless::Windows()[0].className);  // no class named: the dialog class
    EXPECT_EQ(2u, headless::Windows().size());
}

TEST_F(Dialogs, clicks_pass_through_labels_and_keys_do_not_navigate) {
    HWND dialog = CreatePanel();
    HWND label = GetDlgItem(dialog, IDC_ATTACK_DELAY_LABEL);
    recorder.Watch(label);
    recorder.Watch(dialog);
    headless::DoEvents();
    recorder.Clear();
    // A label is transparent to the mouse: the click reaches the dialog, which takes the focus.
    headless::Click(label);
    headless::DoEvents();
    EXPECT_SEQUENCE(recorder, label, dialog,
                    {{WM_LBUTTONDOWN, posted | parent}, {WM_LBUTTONUP, posted | parent}});
    // Without the dialog manager in the loop, Tab moves no focus: the key goes to the focus window.
    HWND slider = GetDlgItem(dialog, IDC_DANCING_SLIDER);
    headless::ClickSliderThumb(slider);
    headless::PressKey(VK_TAB);
    headless::DoEvents();
    EXPECT_EQ(slider, GetFocus());
}

class Boxes : public LayerTest {
  protected:
    void SetUp() override {
        LayerTest::SetUp();
        parentWnd = CreateParent();
        check = CreateControl("Button", "Build Mines", BS_AUTOCHECKBOX, 10, 10, 120, 20, 1017,
                              parentWnd);
        headless::DoEvents();
    }
    HWND parentWnd = nullptr;
    HWND check = nullptr;
};

TEST_F(Boxes, the_modal_loop_serves_the_window_beneath_until_ok) {
    recorder.Watch(parentWnd);
    support::ScriptedInput script;
    std::vector<headless::BoxInfo> seen;
    script
        .Then([&] {
            seen = headless::OpenBoxes();
            headless::Click(check);
        })
        .Then([] { headless::DismissBox(); });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "File error!\nUsing defaults.", "Error", MB_OK));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("File error!\nUsing defaults.", seen[0].text);
    EXPECT_FALSE(IsWindow(seen[0].box));
    // The box took the activation; the click gave it back to the window, which went on working;
    // dismissing the box raised the window again.
    EXPECT_EQ(static_cast<LRESULT>(BST_CHECKED), SendMessageA(check, BM_GETCHECK, 0, 0));
    EXPECT_SEQUENCE(recorder, nullptr, parentWnd,
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

TEST_F(Boxes, enter_escape_the_close_box_and_a_quit_end_the_box) {
    support::ScriptedInput script;
    script.Then([] { headless::PressKey(VK_RETURN); });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "a", "Error", MB_OK));
    script.Then([] { headless::PressKey(VK_ESCAPE); });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "b", "Error", MB_OK));
    script.Then([] { headless::CloseWindow(headless::OpenBoxes().back().box); });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "c", "Error", MB_OK));
    // A quit ends the box and is posted again for the outer loop.
    script.Then([] { PostQuitMessage(0); });
    EXPECT_EQ(0, MessageBoxA(nullptr, "d", "Error", MB_OK));
    EXPECT_TRUE(headless::OpenBoxes().empty());
    int code = -1;
    EXPECT_TRUE(headless::QuitSeen(&code));
    EXPECT_EQ(0, code);
    EXPECT_EQ(0u, script.remaining());
}

TEST_F(Boxes, a_box_inside_a_box) {
    parentHook = [](HWND, UINT m, WPARAM w, LPARAM, LRESULT*) {
        if (m == WM_COMMAND && LOWORD(w) == 1017)
            MessageBoxA(nullptr, "inner", "Error", MB_OK);
        return false;
    };
    support::ScriptedInput script;
    std::size_t open = 0;
    script.Then([&] { headless::Click(check); })
        .Then([&] {
            open = headless::OpenBoxes().size();
            EXPECT_EQ("inner", headless::OpenBoxes().back().text);
            headless::DismissBox();
        })
        .Then([] { headless::DismissBox(); });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "outer", "Error", MB_OK));
    EXPECT_EQ(2u, open);
    EXPECT_EQ(0u, script.remaining());
}

}  // namespace
