// What a control and its parent receive for set-up messages and for a person's input: expected
// sequences as data, compared with what the windows' procedures received.
#include <gtest/gtest.h>

#include "layer_fixture.h"

using seq::Message;
using namespace seq;  // the flags read as in the tables of the platform's own tests

namespace {

class Controls : public LayerTest {
  protected:
    void SetUp() override {
        LayerTest::SetUp();
        parentWnd = CreateParent();
        recorder.Watch(parentWnd);
    }
    HWND Watch(HWND control) {
        recorder.Watch(control);
        headless::DoEvents();  // first paints
        recorder.Clear();
        return control;
    }
    HWND Slider(int min, int max, int pos) {
        HWND s = CreateControl(TRACKBAR_CLASSA, "Slider1", TBS_AUTOTICKS | TBS_BOTH | WS_TABSTOP,
                               10, 10, 203, 33, 1001, parentWnd);
        SendMessageA(s, TBM_SETRANGE, TRUE, MAKELPARAM(min, max));
        SendMessageA(s, TBM_SETPAGESIZE, 0, 1);
        SendMessageA(s, TBM_SETPOS, TRUE, pos);
        return Watch(s);
    }
    HWND Tabs() {
        HWND t = CreateControl(WC_TABCONTROLA, "", 0, 5, 5, 350, 250, 1012, parentWnd);
        const char* names[] = {"Easy", "Standard", "Hard", "Harder", "Insane"};
        for (int i = 0; i < 5; ++i) {
            TCITEMA item{};
            item.mask = TCIF_TEXT | TCIF_IMAGE;
            item.pszText = const_cast<char*>(names[i]);
            item.iImage = -1;
            SendMessageA(t, TCM_INSERTITEMA, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
        }
        return Watch(t);
    }
    HWND parentWnd = nullptr;
};

LRESULT Pos(HWND slider) {
    return SendMessageA(slider, TBM_GETPOS, 0, 0);
}

// The paint of a slider whose parent answers custom draw with the default: one notification.
const std::vector<Message> kSliderPaint = {
    {WM_PAINT, posted},
    {WM_NOTIFY, sent | parent | stage, 0, CDDS_PREPAINT},
};

TEST_F(Controls, set_up_messages_notify_nobody) {
    HWND slider = Slider(0, 10, 0);
    HWND tab = Tabs();
    HWND box = Watch(
        CreateControl("Button", "Build Mines", BS_AUTOCHECKBOX, 10, 60, 120, 20, 1017, parentWnd));
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(-2, 2));
    SendMessageA(slider, TBM_SETPAGESIZE, 0, 1);
    SendMessageA(slider, TBM_SETPOS, TRUE, 1);
    EXPECT_SEQUENCE(recorder, slider, parentWnd,
                    {{TBM_SETRANGE, sent | wparam | lparam, TRUE, MAKELPARAM(-2, 2)},
                     {TBM_SETPAGESIZE, sent | lparam, 0, 1},
                     {TBM_SETPOS, sent | wparam | lparam, TRUE, 1}});
    SendMessageA(tab, TCM_SETCURSEL, 2, 0);
    EXPECT_SEQUENCE(recorder, tab, parentWnd, {{TCM_SETCURSEL, sent | wparam, 2}});
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_SEQUENCE(recorder, box, parentWnd, {{BM_SETCHECK, sent | wparam, BST_CHECKED}});
    // Redrawing later is the only consequence: the slider's paint, which tells the parent.
    headless::DoEvents();
    EXPECT_SEQUENCE(recorder, slider, parentWnd, kSliderPaint);
}

TEST_F(Controls, trackbar_range_page_and_clamping) {
    HWND slider = Slider(0, 10, 0);
    SendMessageA(slider, TBM_SETPOS, TRUE, 15);
    EXPECT_EQ(10, Pos(slider));
    SendMessageA(slider, TBM_SETPOS, TRUE, -1);
    EXPECT_EQ(0, Pos(slider));
    // The range's low word is signed; setting it clamps the position and resets the page size.
    SendMessageA(slider, TBM_SETPOS, TRUE, 8);
    SendMessageA(slider, TBM_SETRANGE, TRUE, 0x0002FFFE);
    EXPECT_EQ(-2, SendMessageA(slider, TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(2, SendMessageA(slider, TBM_GETRANGEMAX, 0, 0));
    EXPECT_EQ(2, Pos(slider));
    EXPECT_EQ(1, SendMessageA(slider, TBM_GETPAGESIZE, 0, 0));
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    EXPECT_EQ(20, SendMessageA(slider, TBM_GETPAGESIZE, 0, 0));
    EXPECT_EQ(20, SendMessageA(slider, TBM_SETPAGESIZE, 0, 3));  // returns the old size
}

TEST_F(Controls, trackbar_repaints_only_when_asked_and_moved) {
    HWND slider = Slider(0, 100, 0);
    // As the platform's own tests record it: a redraw follows a position asked with redraw that
    // differs from the current one (even one that clamps back to it), and every range set with
    // redraw.
    struct Step {
        UINT message;
        WPARAM redraw;
        LPARAM value;
        bool paints;
    };
    const Step steps[] = {{TBM_SETPOS, TRUE, -1, true},
                          {TBM_SETPOS, TRUE, 5, true},
                          {TBM_SETPOS, TRUE, 5, false},
                          {TBM_SETPOS, TRUE, 1000, true},
                          {TBM_SETPOS, FALSE, 20, false},
                          {TBM_SETPOS, TRUE, 20, false},
                          {TBM_SETRANGE, TRUE, MAKELPARAM(0, 10), true},
                          {TBM_SETRANGE, FALSE, MAKELPARAM(0, 10), false}};
    for (const Step& step : steps) {
        SendMessageA(slider, step.message, step.redraw, step.value);
        headless::DoEvents();
        std::vector<Message> expected = {
            {step.message, sent | wparam | lparam, step.redraw, step.value}};
        if (step.paints)
            expected.insert(expected.end(), kSliderPaint.begin(), kSliderPaint.end());
        EXPECT_SEQUENCE(recorder, slider, parentWnd, expected);
    }
}

TEST_F(Controls, trackbar_keys_scroll_then_end_track) {
    HWND slider = Slider(0, 10, 5);
    headless::ClickSliderThumb(slider);
    headless::DoEvents();
    EXPECT_EQ(slider, GetFocus());
    EXPECT_EQ(5, Pos(slider));
    recorder.Clear();

    const std::pair<UINT, WPARAM> keys[] = {
        {VK_RIGHT, TB_LINEDOWN}, {VK_LEFT, TB_LINEUP},  {VK_DOWN, TB_LINEDOWN}, {VK_UP, TB_LINEUP},
        {VK_NEXT, TB_PAGEDOWN},  {VK_PRIOR, TB_PAGEUP}, {VK_END, TB_BOTTOM},    {VK_HOME, TB_TOP}};
    for (auto [key, code] : keys) {
        headless::PressKey(key);
        headless::DoEvents();
        EXPECT_SEQUENCE(
            recorder, slider, parentWnd,
            {{WM_KEYDOWN, posted | wparam, key},
             {WM_HSCROLL, sent | parent | wparam | lparam, code, reinterpret_cast<LPARAM>(slider)},
             {WM_KEYUP, posted | wparam, key},
             {WM_HSCROLL, sent | parent | wparam, TB_ENDTRACK},
             {WM_PAINT, posted},
             {WM_NOTIFY, sent | parent | stage, 0, CDDS_PREPAINT}});
    }
    EXPECT_EQ(0, Pos(slider));
    recorder.Clear();
    // At the end of the range a key moves nothing and tells only that tracking ended.
    headless::PressKey(VK_LEFT);
    headless::DoEvents();
    EXPECT_SEQUENCE(recorder, slider, parentWnd,
                    {{WM_KEYDOWN, posted | wparam, VK_LEFT},
                     {WM_KEYUP, posted | wparam, VK_LEFT},
                     {WM_HSCROLL, sent | parent | wparam, TB_ENDTRACK}});
}

TEST_F(Controls, trackbar_drag_tracks_then_positions) {
    HWND slider = Slider(0, 10, 0);
    headless::DragSlider(slider, 4);
    headless::DoEvents();
    // Every move repaints at once (the parent hears NM_CUSTOMDRAW while the thumb moves); the
    // release sends the final position, ends tracking twice (once more as capture goes) and
    // tells that capture was released.
    const std::vector<UINT> noPaint = {WM_NCHITTEST, WM_CTLCOLORSTATIC, WM_ERASEBKGND, WM_MOUSEMOVE,
                                       WM_PAINT};
    std::string diff =
        seq::Compare(recorder.messages(), slider, parentWnd,
                     {{WM_LBUTTONDOWN, posted},
                      {WM_KILLFOCUS, sent | parent},
                      {WM_SETFOCUS, sent},
                      {WM_HSCROLL, sent | parent | wparam, MAKEWPARAM(TB_THUMBTRACK, 2)},
                      {WM_NOTIFY, sent | parent | stage, 0, CDDS_PREPAINT},
                      {WM_HSCROLL, sent | parent | wparam, MAKEWPARAM(TB_THUMBTRACK, 4)},
                      {WM_NOTIFY, sent | parent | stage, 0, CDDS_PREPAINT},
                      {WM_LBUTTONUP, posted},
                      {WM_HSCROLL, sent | parent | wparam, MAKEWPARAM(TB_THUMBPOSITION, 4)},
                      {WM_HSCROLL, sent | parent | wparam, TB_ENDTRACK},
                      {WM_CAPTURECHANGED, sent},
                      {WM_HSCROLL, sent | parent | wparam, TB_ENDTRACK},
                      {WM_NOTIFY, sent | parent | code, 0, static_cast<LPARAM>(NM_RELEASEDCAPTURE)},
                      {WM_NOTIFY, sent | parent | stage, 0, CDDS_PREPAINT}},
                     noPaint);
    EXPECT_TRUE(diff.empty()) << diff;
    EXPECT_EQ(4, Pos(slider));
}

TEST_F(Controls, trackbar_click_in_channel_pages) {
    HWND slider = Slider(0, 10, 5);
    SendMessageA(slider, TBM_SETPAGESIZE, 0, 3);
    recorder.Clear();
    headless::ClickSliderChannel(slider, true);
    headless::DoEvents();
    EXPECT_SEQUENCE(recorder, slider, parentWnd,
                    {{WM_LBUTTONDOWN, posted},
                     {WM_KILLFOCUS, sent | parent},
                     {WM_SETFOCUS, sent},
                     {WM_HSCROLL, sent | parent | wparam, TB_PAGEDOWN},
                     {WM_LBUTTONUP, posted},
                     {WM_HSCROLL, sent | parent | wparam, TB_ENDTRACK},
                     {WM_CAPTURECHANGED, sent},
                     {WM_HSCROLL, sent | parent | wparam, TB_ENDTRACK},
                     {WM_NOTIFY, sent | parent | code, 0, static_cast<LPARAM>(NM_RELEASEDCAPTURE)},
                     {WM_NOTIFY, sent | parent | stage, 0, CDDS_PREPAINT}});
    EXPECT_EQ(8, Pos(slider));
    headless::ClickSliderChannel(slider, false);
    headless::DoEvents();
    EXPECT_EQ(5, Pos(slider));
}

TEST_F(Controls, trackbar_custom_draw_follows_the_parents_answer) {
    HWND slider = Slider(0, 10, 5);
    // An answer other than the default asks for the erase stages, as the panel's answer of 1 does.
    parentHook = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
        if (m != WM_NOTIFY)
            return false;
        *r = 1;
        return true;
    };
    InvalidateRect(slider, nullptr, FALSE);
    headless::DoEvents();
    EXPECT_SEQUENCE(recorder, slider, parentWnd,
                    {{WM_PAINT, posted},
                     {WM_NOTIFY, sent | parent | stage, 0, CDDS_PREPAINT},
                     {WM_NOTIFY, sent | parent | stage, 0, CDDS_PREERASE},
                     {WM_NOTIFY, sent | parent | stage, 0, CDDS_POSTERASE}});
    parentHook = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
        if (m != WM_NOTIFY)
            return false;
        *r = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        return true;
    };
    InvalidateRect(slider, nullptr, FALSE);
    headless::DoEvents();
    std::vector<DWORD> stages;
    for (const auto& m : recorder.messages()) {
        if (m.message == WM_NOTIFY)
            stages.push_back(m.drawStage);
    }
    // Channel, ticks and thumb, each before and after, since the answer asks for both.
    EXPECT_EQ((std::vector<DWORD>{CDDS_PREPAINT, CDDS_PREERASE, CDDS_POSTERASE, CDDS_ITEMPREPAINT,
                                  CDDS_ITEMPOSTPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPOSTPAINT,
                                  CDDS_ITEMPREPAINT, CDDS_ITEMPOSTPAINT, CDDS_POSTPAINT}),
              stages);
}

TEST_F(Controls, tab_click_asks_selects_and_tells) {
    HWND tab = Tabs();
    EXPECT_EQ(0, SendMessageA(tab, TCM_GETCURSEL, 0, 0));
    recorder.Clear();
    headless::ClickTab(tab, 3);
    headless::DoEvents();
    EXPECT_SEQUENCE(
        recorder, tab, parentWnd,
        {{WM_LBUTTONDOWN, posted},
         {WM_KILLFOCUS, sent | parent},
         {WM_SETFOCUS, sent},
         {WM_NOTIFY, sent | parent | wparam | code, 1012, static_cast<LPARAM>(TCN_SELCHANGING)},
         {WM_NOTIFY, sent | parent | wparam | code, 1012, static_cast<LPARAM>(TCN_SELCHANGE)},
         {WM_LBUTTONUP, posted},
         {WM_NOTIFY, sent | parent | code, 0, static_cast<LPARAM>(NM_CLICK)}});
    EXPECT_EQ(3, SendMessageA(tab, TCM_GETCURSEL, 0, 0));
    recorder.Clear();
    // A click on the selected tab changes nothing.
    headless::ClickTab(tab, 3);
    headless::DoEvents();
    EXPECT_SEQUENCE(recorder, tab, parentWnd,
                    {{WM_LBUTTONDOWN, posted},
                     {WM_LBUTTONUP, posted},
                     {WM_NOTIFY, sent | parent | code, 0, static_cast<LPARAM>(NM_CLICK)}});
    // Keys move the selection the same way.
    headless::PressKey(VK_LEFT);
    headless::DoEvents();
    EXPECT_EQ(2, SendMessageA(tab, TCM_GETCURSEL, 0, 0));
}

TEST_F(Controls, tab_parent_can_refuse_the_change) {
    HWND tab = Tabs();
    parentHook = [](HWND, UINT m, WPARAM, LPARAM l, LRESULT* r) {
        if (m != WM_NOTIFY || reinterpret_cast<NMHDR*>(l)->code != TCN_SELCHANGING)
            return false;
        *r = TRUE;
        return true;
    };
    headless::ClickTab(tab, 4);
    headless::DoEvents();
    EXPECT_SEQUENCE(recorder, tab, parentWnd,
                    {{WM_LBUTTONDOWN, posted},
                     {WM_KILLFOCUS, sent | parent},
                     {WM_SETFOCUS, sent},
                     {WM_NOTIFY, sent | parent | code, 0, static_cast<LPARAM>(TCN_SELCHANGING)},
                     {WM_LBUTTONUP, posted},
                     {WM_NOTIFY, sent | parent | code, 0, static_cast<LPARAM>(NM_CLICK)}});
    EXPECT_EQ(0, SendMessageA(tab, TCM_GETCURSEL, 0, 0));
}

TEST_F(Controls, tab_selection_and_items) {
    HWND tab = Tabs();
    EXPECT_EQ(5, SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(0, SendMessageA(tab, TCM_SETCURSEL, 2, 0));  // returns the previous selection
    EXPECT_EQ(-1, SendMessageA(tab, TCM_SETCURSEL, 5, 0));
    EXPECT_EQ(2, SendMessageA(tab, TCM_GETCURSEL, 0, 0));
    SendMessageA(tab, TCM_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(-1, SendMessageA(tab, TCM_GETCURSEL, 0, 0));
    char text[4];
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(tab, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ("Sta", text);  // cut to the buffer and terminated
    EXPECT_FALSE(SendMessageA(tab, TCM_GETITEMA, 9, reinterpret_cast<LPARAM>(&item)));
    HWND empty = CreateControl(WC_TABCONTROLA, "", 0, 5, 5, 100, 50, 7, parentWnd);
    EXPECT_EQ(-1, SendMessageA(empty, TCM_GETCURSEL, 0, 0));
}

TEST_F(Controls, check_box_click_toggles_then_tells_the_parent) {
    HWND box = Watch(CreateControl("Button", "Build Mines", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 60,
                                   120, 20, 1017, parentWnd));
    headless::Click(box);
    headless::DoEvents();
    EXPECT_EQ(static_cast<LRESULT>(BST_CHECKED), SendMessageA(box, BM_GETCHECK, 0, 0));
    recorder.Clear();
    headless::Click(box);
    headless::DoEvents();
    EXPECT_SEQUENCE(recorder, box, parentWnd,
                    {{WM_LBUTTONDOWN, posted},
                     {BM_SETSTATE, sent | wparam, TRUE},
                     {WM_LBUTTONUP, posted},
                     {BM_SETSTATE, sent | wparam, FALSE},
                     {BM_SETCHECK, sent | wparam, BST_UNCHECKED},
                     {WM_CAPTURECHANGED, sent},
                     {WM_COMMAND, sent | parent | wparam | lparam, MAKEWPARAM(1017, BN_CLICKED),
                      reinterpret_cast<LPARAM>(box)}});
    EXPECT_EQ(static_cast<LRESULT>(BST_UNCHECKED), SendMessageA(box, BM_GETCHECK, 0, 0));
    // Pressed inside and released outside is no click.
    RECT r;
    GetWindowRect(box, &r);
    headless::MouseDown(POINT{r.left + 2, r.top + 2});
    headless::MouseUp(POINT{r.right + 30, r.bottom + 30});
    headless::DoEvents();
    EXPECT_EQ(static_cast<LRESULT>(BST_UNCHECKED), SendMessageA(box, BM_GETCHECK, 0, 0));
    for (const auto& m : recorder.messages())
        EXPECT_NE(static_cast<UINT>(WM_COMMAND), m.message);
}

TEST_F(Controls, push_button_and_group_box) {
    HWND button =
        CreateControl("Button", "Apply", BS_PUSHBUTTON | WS_TABSTOP, 20, 20, 80, 24, 3, parentWnd);
    HWND group = CreateControl("Button", "Dancing", BS_GROUPBOX, 5, 5, 300, 100, -1, parentWnd);
    SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(0, SendMessageA(button, BM_GETCHECK, 0, 0));  // a push button has no check state
    headless::DoEvents();
    recorder.Clear();
    // The group box lies over the button in z-order, yet the click reaches the button.
    ASSERT_EQ(group, headless::Windows()[1].hwnd);
    headless::Click(button);
    headless::DoEvents();
    EXPECT_SEQUENCE(recorder, button, parentWnd,
                    {{WM_KILLFOCUS, sent | parent},
                     {WM_COMMAND, sent | parent | wparam, MAKEWPARAM(3, BN_CLICKED)}});
    // Space on the focused button clicks it too.
    headless::PressKey(VK_SPACE);
    headless::DoEvents();
    EXPECT_SEQUENCE(recorder, button, parentWnd,
                    {{WM_COMMAND, sent | parent | wparam, MAKEWPARAM(3, BN_CLICKED)}});
}

TEST_F(Controls, static_text_and_window_texts) {
    HWND label = CreateControl("Static", "Godlike", SS_LEFT | SS_CENTERIMAGE, 10, 10, 90, 24, 1009,
                               parentWnd);
    char text[8];
    EXPECT_EQ(7, GetWindowTextA(label, text, sizeof text));
    EXPECT_STREQ("Godlike", text);
    SetWindowTextA(label, "8 minutes");
    EXPECT_EQ(7, GetWindowTextA(label, text, sizeof text));
    EXPECT_STREQ("8 minut", text);
    EXPECT_EQ(9, GetWindowTextLengthA(label));
    headless::WindowInfo info;
    ASSERT_TRUE(headless::GetWindowInfo(label, &info));
    EXPECT_EQ("8 minutes", info.text);
    EXPECT_EQ(1009, info.id);
}

}  // namespace
