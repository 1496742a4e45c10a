// What a control and its parent receive for set-up messages and for a person's input: expected
// sequences as data, compared with what the windows' procedures received. What the input does to
// the settings shows in the scenarios; these hold the order of the notifications.
#include <gtest/gtest.h>

#include "layer_fixture.h"

using namespace seq;  // the flags read as in the tables of the platform's own tests

namespace {

class Controls : public LayerTest {
  protected:
    void SetUp() override {
        LayerTest::SetUp();
        parentWnd = CreateParent();
    }
    HWND Slider(int min, int max, int pos) {
        HWND s = CreateControl(TRACKBAR_CLASSA, "Slider1", TBS_AUTOTICKS | TBS_BOTH | WS_TABSTOP,
                               10, 10, 203, 33, 1001, parentWnd);
        SendMessageA(s, TBM_SETRANGE, TRUE, MAKELPARAM(min, max));
        SendMessageA(s, TBM_SETPOS, TRUE, pos);
        return Watch(s);
    }
    HWND parentWnd = nullptr;
};

// A notification to the parent with this code (a custom draw's: this draw stage) and, unless 0,
// this wParam.
Message Notice(UINT what, WPARAM w = 0) {
    return {WM_NOTIFY, sent | parent | lparam | (w ? wparam : 0u), w, static_cast<int>(what)};
}

// The paint of a slider whose parent answers custom draw with the default: one notification.
const Message kPaint = {WM_PAINT, posted};
const Message kPrePaint = Notice(CDDS_PREPAINT);
// A press on a slider or tab that takes the focus from the parent.
const Message kDown = {WM_LBUTTONDOWN, posted}, kUp = {WM_LBUTTONUP, posted};
const Message kKillParent = {WM_KILLFOCUS, sent | parent}, kSetFocus = {WM_SETFOCUS, sent};
const Message kEndTrack = {WM_HSCROLL, sent | parent | wparam, TB_ENDTRACK};

TEST_F(Controls, set_up_messages_notify_nobody) {
    HWND slider = Slider(0, 10, 0);
    HWND tab = Watch(CreateTabs(parentWnd));
    HWND box = Watch(
        CreateControl("Button", "Build Mines", BS_AUTOCHECKBOX, 10, 60, 120, 20, 1017, parentWnd));
    SendMessageA(slider, TBM_SETRANGE, TRUE, 0x0002FFFE);  // the low word is signed: -2 to 2
    SendMessageA(slider, TBM_SETPOS, TRUE, 1);
    SendMessageA(tab, TCM_SETCURSEL, 2, 0);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    // Redrawing later is the only consequence: the slider's paint, which tells the parent.
    support::DoEvents();
    EXPECT_SEQUENCE(slider, parentWnd,
                    {{TBM_SETRANGE, sent | lparam, 0, 0x0002FFFE},
                     {TBM_SETPOS, sent | lparam, 0, 1},
                     kPaint,
                     kPrePaint});
}

TEST_F(Controls, trackbar_drag_tracks_then_positions) {
    HWND slider = Slider(0, 10, 0);
    support::DragSlider(slider, 4);
    support::DoEvents();
    // Every move repaints at once (the parent hears NM_CUSTOMDRAW while the thumb moves); the
    // release sends the final position, ends tracking twice (once more as capture goes) and
    // tells that capture was released.
    EXPECT_SEQUENCE(slider, parentWnd,
                    {kDown,
                     kKillParent,
                     kSetFocus,
                     {WM_HSCROLL, sent | parent | wparam, MAKEWPARAM(TB_THUMBTRACK, 2)},
                     kPrePaint,
                     {WM_HSCROLL, sent | parent | wparam, MAKEWPARAM(TB_THUMBTRACK, 4)},
                     kPrePaint,
                     kUp,
                     {WM_HSCROLL, sent | parent | wparam, MAKEWPARAM(TB_THUMBPOSITION, 4)},
                     kEndTrack,
                     {WM_CAPTURECHANGED, sent},
                     kEndTrack,
                     Notice(NM_RELEASEDCAPTURE),
                     kPrePaint});
    EXPECT_EQ(4, SendMessageA(slider, TBM_GETPOS, 0, 0));
    // A drag that loses the focus to another program ends there: later moves drag nothing.
    headless::MouseDown(headless::SliderPointFor(slider, 4));
    headless::LoseFocus();
    headless::MouseMove(headless::SliderPointFor(slider, 9));
    headless::MouseUp(headless::SliderPointFor(slider, 9));
    support::DoEvents();
    EXPECT_EQ(4, SendMessageA(slider, TBM_GETPOS, 0, 0));
}

TEST_F(Controls, trackbar_custom_draw_follows_the_parents_answer) {
    HWND slider = Slider(0, 10, 5);
    // Any answer other than the default (the panel answers 1) asks for the erase stages too.
    parentHook = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
        *r = 1;
        return m == WM_NOTIFY;
    };
    InvalidateRect(slider, nullptr, FALSE);
    support::DoEvents();
    EXPECT_SEQUENCE(slider, parentWnd,
                    {kPaint, kPrePaint, Notice(CDDS_PREERASE), Notice(CDDS_POSTERASE)});
}

TEST_F(Controls, tab_click_asks_the_parent_which_may_refuse) {
    HWND tab = Watch(CreateTabs(parentWnd));
    bool refuse = true;
    parentHook = [&](HWND, UINT m, WPARAM, LPARAM l, LRESULT* r) {
        *r = TRUE;
        return refuse && m == WM_NOTIFY && reinterpret_cast<NMHDR*>(l)->code == TCN_SELCHANGING;
    };
    const Message kChanging = Notice(TCN_SELCHANGING, 1012);
    const Message kClick = Notice(NM_CLICK);
    support::ClickTab(tab, 4);
    support::DoEvents();
    EXPECT_SEQUENCE(tab, parentWnd, {kDown, kKillParent, kSetFocus, kChanging, kUp, kClick});
    EXPECT_EQ(0, SendMessageA(tab, TCM_GETCURSEL, 0, 0));
    Watch(tab);
    refuse = false;
    support::ClickTab(tab, 3);
    support::DoEvents();
    EXPECT_SEQUENCE(tab, parentWnd, {kDown, kChanging, Notice(TCN_SELCHANGE), kUp, kClick});
    // A click on the selected tab changes nothing.
    support::ClickTab(tab, 3);
    support::DoEvents();
    EXPECT_SEQUENCE(tab, parentWnd, {kDown, kUp, kClick});
}

TEST_F(Controls, check_box_click_toggles_then_tells_the_parent) {
    HWND box = Watch(CreateControl("Button", "Build Mines", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 60,
                                   120, 20, 1017, parentWnd));
    support::Click(box);
    Watch(box);
    support::Click(box);
    support::DoEvents();
    EXPECT_SEQUENCE(box, parentWnd,
                    {kDown,
                     {BM_SETSTATE, sent | wparam, TRUE},
                     kUp,
                     {BM_SETSTATE, sent | wparam, FALSE},
                     {BM_SETCHECK, sent | wparam, BST_UNCHECKED},
                     {WM_CAPTURECHANGED, sent},
                     {WM_COMMAND, sent | parent | wparam | lparam, MAKEWPARAM(1017, BN_CLICKED),
                      reinterpret_cast<LPARAM>(box)}});
    // Pressed inside and released outside is no click.
    RECT r;
    GetWindowRect(box, &r);
    headless::MouseDown(POINT{r.left + 2, r.top + 2});
    headless::MouseUp(POINT{r.right + 30, r.bottom + 30});
    support::DoEvents();
    EXPECT_EQ(static_cast<LRESULT>(BST_UNCHECKED), SendMessageA(box, BM_GETCHECK, 0, 0));
    for (const auto& [hwnd, m] : g_received)
        EXPECT_NE(static_cast<UINT>(WM_COMMAND), m.message);
}

TEST_F(Controls, debug_builds_name_the_control_messages_that_are_not_implemented) {
#ifdef NDEBUG
    GTEST_SKIP() << "only debug builds report them";
#endif
    HWND slider = Slider(0, 10, 5);
    testing::internal::CaptureStderr();
    SendMessageA(slider, TBM_SETPOS, TRUE, 3);  // implemented: no report
    SendMessageA(slider, WM_USER + 30, 0, 0);   // in the trackbar's range, not implemented
    SendMessageA(slider, WM_USER + 30, 0, 0);   // reported once
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ("own Win32 layer: msctls_trackbar32 does not implement message 0x041E\n", said);
}

}  // namespace
