// Dialogs from template 102 and message boxes: the controls in template order with their ids,
// texts, styles and rectangles; failures that leave no window; the modal loop of a box that goes
// on serving the other windows.
#include <gtest/gtest.h>

#include <vector>

#include "layer_fixture.h"
#include "platform/own/dialog.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"
#include "res/resource.h"

using namespace seq;

namespace {

LRESULT CALLBACK DialogClassProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(hwnd, m, w, l);
}

class Dialogs : public LayerTest {
  protected:
    void SetUp() override {
        LayerTest::SetUp();
        RegisterDialogClass(DialogClassProc);
    }
    HWND CreatePanel() {
        return CreateDialogParamA(own::ProgramInstance(), MAKEINTRESOURCEA(IDD_CONTROL_PANEL),
                                  nullptr, nullptr, 0);
    }
};

struct Expected {
    int id;
    const char* cls;
    const char* text;
    DWORD style;
    int x, y, cx, cy;  // dialog units
};

// Template 102 as a person sees it, first control on top.
const Expected kControls[] = {
    {1007, "Button", "OK", 0x50010001, 6, 246, 54, 14},
    {1008, "Button", "Cancel", 0x50010000, 186, 246, 54, 14},
    {1000, "msctls_trackbar32", "Slider1", 0x50010009, 25, 35, 135, 20},
    {-1, "Button", "Dancing", 0x50000007, 15, 25, 215, 35},
    {-1, "Button", "Attack Delay", 0x50000007, 15, 65, 215, 35},
    {1001, "msctls_trackbar32", "Slider2", 0x50010009, 25, 75, 135, 20},
    {-1, "Button", "Teching Handicap", 0x50000007, 15, 145, 215, 35},
    {1003, "msctls_trackbar32", "Slider2", 0x50010009, 25, 155, 135, 20},
    {1004, "Button", "Early Harassing", 0x50010003, 18, 198, 65, 15},
    {1005, "Button", "Dynamic Production Buildings", 0x50010003, 18, 210, 108, 15},
    {1006, "Button", "Alternative Strategies", 0x50010003, 18, 186, 80, 15},
    {1009, "Static", "Godlike", 0x50020200, 165, 40, 60, 15},
    {1010, "Static", "Off", 0x50020200, 165, 80, 60, 15},
    {1011, "Static", "Off", 0x50020200, 165, 160, 60, 15},
    {3, "Button", "Apply", 0x50010000, 66, 246, 54, 14},
    {1013, "Button", "Build Relic Units", 0x50010003, 144, 186, 70, 15},
    {-1, "Button", "Tech Speed", 0x50000007, 15, 105, 215, 35},
    {1014, "msctls_trackbar32", "Slider2", 0x50010009, 25, 115, 135, 20},
    {1015, "Static", "Off", 0x50020200, 165, 120, 60, 15},
    {4, "Button", "Reset", 0x50010000, 126, 246, 54, 14},
    {1016, "Button", "Build Turrets", 0x50010003, 144, 198, 80, 15},
    {1017, "Button", "Build Mines", 0x50010003, 144, 210, 80, 15},
    {1012, "SysTabControl32", "", 0x50000000, 5, 5, 235, 229},
};

int Px(int du, int base, int div) {
    return (du * base + div / 2) / div;
}

TEST_F(Dialogs, template_102_gives_the_dialog_and_its_controls_in_order) {
    HWND dialog = CreatePanel();
    ASSERT_NE(nullptr, dialog);
    std::vector<headless::WindowInfo> all = headless::Windows();
    ASSERT_EQ(24u, all.size());
    const headless::WindowInfo& d = all[0];
    EXPECT_EQ("DLGCLASS", d.className);
    EXPECT_EQ("AI Control Panel", d.text);
    EXPECT_EQ(0x90C808C0u, d.style);
    EXPECT_TRUE(d.visible);
    EXPECT_TRUE(d.active);
    // The client area is 246 x 268 units; DS_CENTER centres the window on the screen.
    EXPECT_EQ(369, d.client.right - d.client.left);
    EXPECT_EQ(436, d.client.bottom - d.client.top);
    EXPECT_NEAR(headless::kScreenWidth, d.rect.left + d.rect.right, 1);
    EXPECT_NEAR(headless::kScreenHeight, d.rect.top + d.rect.bottom, 1);
    EXPECT_GT(d.closeBox.right, d.closeBox.left);
    for (std::size_t i = 0; i < std::size(kControls); ++i) {
        const Expected& e = kControls[i];
        const headless::WindowInfo& c = all[i + 1];
        SCOPED_TRACE(e.text);
        EXPECT_EQ(dialog, c.parent);
        EXPECT_EQ(static_cast<int>(i), c.zOrder);
        EXPECT_EQ(e.id, c.id);
        EXPECT_EQ(e.cls, c.className);
        EXPECT_EQ(e.text, c.text);
        EXPECT_EQ(e.style, c.style);
        EXPECT_EQ(d.client.left + Px(e.x, 6, 4), c.rect.left);
        EXPECT_EQ(d.client.top + Px(e.y, 13, 8), c.rect.top);
        EXPECT_EQ(Px(e.cx, 6, 4), c.rect.right - c.rect.left);
        EXPECT_EQ(Px(e.cy, 13, 8), c.rect.bottom - c.rect.top);
        EXPECT_TRUE(c.visible);
    }
    EXPECT_EQ(all[3].hwnd, GetDlgItem(dialog, IDC_DANCING_SLIDER));
    EXPECT_EQ(nullptr, GetDlgItem(dialog, 1002));
}

TEST_F(Dialogs, what_the_dialog_receives_while_it_is_created) {
    recorder.WatchAll();
    HWND dialog = CreatePanel();
    ASSERT_NE(nullptr, dialog);
    // Before anything is shown: creation, the font, and the controls (which do not tell the
    // parent, being dialog controls); then it is shown, activated and takes the focus.
    EXPECT_SEQUENCE(recorder, nullptr, dialog,
                    {{WM_NCCREATE, sent | parent},
                     {WM_CREATE, sent | parent},
                     {WM_SETFONT, sent | parent},
                     {WM_SHOWWINDOW, sent | parent | wparam, TRUE},
                     {WM_ACTIVATE, sent | parent | wparam, WA_ACTIVE},
                     {WM_SETFOCUS, sent | parent}});
}

TEST_F(Dialogs, a_dialog_that_cannot_be_made_leaves_no_window) {
    EXPECT_EQ(nullptr, CreateDialogParamA(own::ProgramInstance(), MAKEINTRESOURCEA(103), nullptr,
                                          nullptr, 0));
    EXPECT_EQ(ERROR_RESOURCE_NAME_NOT_FOUND, GetLastError());
    // Without its window class the dialog is not made.
    UnregisterClassA("DLGCLASS", own::ProgramInstance());
    EXPECT_EQ(nullptr, CreatePanel());
    EXPECT_TRUE(headless::Windows().empty());
    // Every truncation of the resource file fails cleanly (the sanitizers watch the reads).
    std::vector<unsigned char> copy(kProgramResFile, kProgramResFile + kProgramResFileSize);
    SetUp();
    for (std::size_t size = 0; size < copy.size(); size += 7) {
        std::vector<unsigned char> cut(copy.begin(), copy.begin() + static_cast<long>(size));
        own::SetProgramResources(cut.data(), cut.size());
        HWND dialog = CreatePanel();
        if (dialog)
            DestroyWindow(dialog);
    }
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    EXPECT_TRUE(headless::Windows().empty());
}

TEST_F(Dialogs, a_control_class_that_does_not_exist_fails_the_dialog_unless_told_otherwise) {
    own::DialogTemplate t{};
    t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT;
    t.cx = 100;
    t.cy = 50;
    t.caption = "x";
    own::DialogItem ok{};
    ok.style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    ok.cx = 40;
    ok.cy = 14;
    ok.id = IDOK;
    ok.classAtom = 0x0080;
    ok.text = "OK";
    own::DialogItem missing = ok;
    missing.classAtom = 0;
    missing.className = "msctls_progress32";
    t.items = {ok, missing};
    EXPECT_EQ(nullptr,
              own::CreateDialogFromTemplate(t, own::ProgramInstance(), nullptr, nullptr, 0));
    EXPECT_TRUE(headless::Windows().empty());
    t.style |= DS_NOFAILCREATE;
    HWND dialog = own::CreateDialogFromTemplate(t, own::ProgramInstance(), nullptr, nullptr, 0);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("#32770", headless::Windows()[0].className);  // no class named: the dialog class
    EXPECT_EQ(2u, headless::Windows().size());
}

TEST_F(Dialogs, clicks_pass_through_labels_and_the_tab_body_and_keys_do_not_navigate) {
    HWND dialog = CreatePanel();
    ASSERT_NE(nullptr, dialog);
    recorder.WatchAll();
    headless::DoEvents();
    recorder.Clear();
    // A label and the tab control's body (outside its items) are transparent to the mouse: the
    // click reaches the dialog itself, which takes the focus.
    headless::Click(GetDlgItem(dialog, IDC_ATTACK_DELAY_LABEL));
    headless::DoEvents();
    bool dialogClicked = false;
    for (const auto& m : recorder.messages()) {
        dialogClicked |= m.hwnd == dialog && m.message == WM_LBUTTONDOWN;
        EXPECT_FALSE(m.hwnd == GetDlgItem(dialog, IDC_ATTACK_DELAY_LABEL) &&
                     m.message == WM_LBUTTONDOWN);
    }
    EXPECT_TRUE(dialogClicked);
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

TEST_F(Boxes, the_modal_loop_serves_other_windows_until_ok) {
    recorder.Watch(parentWnd);
    support::ScriptedInput script;
    std::vector<headless::BoxInfo> seen;
    script
        .Then([&] {
            seen = headless::OpenBoxes();
            EXPECT_EQ(IDOK, GetDlgCtrlID(seen.at(0).okButton));
            headless::Click(check);  // a click on the window beneath the box
        })
        .Then([&] {
            EXPECT_EQ(static_cast<LRESULT>(BST_CHECKED), SendMessageA(check, BM_GETCHECK, 0, 0));
            EXPECT_TRUE(headless::DismissBox());
        });
    EXPECT_EQ(IDOK,
              MessageBoxA(nullptr, "File error!\nUsing default settings now.", "Error", MB_OK));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Error", seen[0].title);
    EXPECT_EQ("File error!\nUsing default settings now.", seen[0].text);
    EXPECT_FALSE(IsWindow(seen[0].box));
    EXPECT_TRUE(headless::OpenBoxes().empty());
    // The click reached the parent while the box was open.
    bool commanded = false;
    for (const auto& m : recorder.messages()) {
        commanded |= m.message == WM_COMMAND && m.wParam == MAKEWPARAM(1017, BN_CLICKED);
    }
    EXPECT_TRUE(commanded);
}

TEST_F(Boxes, what_the_window_beneath_receives_while_a_box_is_open) {
    recorder.Watch(parentWnd);
    recorder.Watch(check);
    support::ScriptedInput script;
    script.Then([&] { headless::Click(check); }).Then([] { headless::DismissBox(); });
    const std::vector<UINT> quiet = {WM_NCHITTEST, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_ERASEBKGND,
                                     WM_PAINT};
    MessageBoxA(nullptr, "text", "Error", MB_OK);
    // The box takes the activation and the focus; the click gives both back to the window,
    // which goes on working; dismissing the box raises it again and then returns them.
    std::string diff =
        seq::Compare(recorder.messages(), check, parentWnd,
                     {{WM_ACTIVATE, sent | parent | wparam, WA_INACTIVE},
                      {WM_KILLFOCUS, sent | parent},
                      {WM_ACTIVATE, sent | parent | wparam, WA_CLICKACTIVE},
                      {WM_SETFOCUS, sent | parent},
                      {WM_LBUTTONDOWN, posted},
                      {WM_KILLFOCUS, sent | parent},
                      {WM_SETFOCUS, sent},
                      {BM_SETSTATE, sent | wparam, TRUE},
                      {WM_LBUTTONUP, posted},
                      {BM_SETSTATE, sent | wparam, FALSE},
                      {BM_SETCHECK, sent | wparam, BST_CHECKED},
                      {WM_CAPTURECHANGED, sent},
                      {WM_COMMAND, sent | parent | wparam, MAKEWPARAM(1017, BN_CLICKED)},
                      {WM_ACTIVATE, sent | parent | wparam, WA_INACTIVE},
                      {WM_KILLFOCUS, sent},
                      {WM_ACTIVATE, sent | parent | wparam, WA_ACTIVE},
                      {WM_SETFOCUS, sent | parent}},
                     quiet);
    EXPECT_TRUE(diff.empty()) << diff;
}

TEST_F(Boxes, enter_escape_and_the_close_box_answer_ok) {
    support::ScriptedInput script;
    script.Then([] { headless::PressKey(VK_RETURN); });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "a", "Error", MB_OK));
    script.Then([] { headless::PressKey(VK_ESCAPE); });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "b", "Error", MB_OK));
    script.Then([] { headless::CloseWindow(headless::OpenBoxes().back().box); });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "c", "Error", MB_OK));
    EXPECT_EQ(0u, script.remaining());
}

TEST_F(Boxes, a_quit_ends_the_box_and_is_posted_again) {
    support::ScriptedInput script;
    script.Then([] { PostQuitMessage(0); });
    EXPECT_EQ(0, MessageBoxA(nullptr, "a", "Error", MB_OK));
    EXPECT_TRUE(headless::OpenBoxes().empty());
    int code = -1;
    EXPECT_TRUE(headless::QuitSeen(&code));
    EXPECT_EQ(0, code);
}

TEST_F(Boxes, a_box_inside_a_box_and_clicks_behind_them) {
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

TEST_F(Boxes, auto_answer_records_and_dismisses) {
    support::AutoAnswerBoxes answers;
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Couldn't create window!", "Error", MB_OK));
    ASSERT_EQ(1u, answers.boxes().size());
    EXPECT_EQ("Couldn't create window!", answers.boxes()[0].text);
    EXPECT_EQ("Error", answers.boxes()[0].title);
    EXPECT_EQ(nullptr, answers.boxes()[0].owner);
    EXPECT_TRUE(headless::OpenBoxes().empty());
    // Only the parent and its check box are left.
    EXPECT_EQ(2u, headless::Windows().size());
}

}  // namespace
