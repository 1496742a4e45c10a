// The own layer as the program meets it: what a control and its parent receive for a person's
// input, as expected sequences compared with what the windows' procedures received (what the input
// does to the settings shows in the scenarios; these hold the order of the notifications); closing,
// destruction and the order of the queue; failures that leave no window; and the modal loop of a
// box that goes on serving the other windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/own/dialog.h"
#include "platform/own/hooks.h"
#include "tests/support/panel.h"

namespace seq {
enum Flags : unsigned {
    sent = 0,
    posted = 0x1,  // through DispatchMessageA
    parent = 0x2,  // reached the parent (otherwise: the control)
    wparam = 0x4,  // compare wParam
    lparam = 0x8,  // compare lParam; a notification's is its code, a custom draw's its draw stage
};

struct Message {
    UINT message;
    unsigned flags;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

inline std::vector<std::pair<HWND, Message>> g_received;

inline void Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool wasPosted) {
    if (message == WM_NOTIFY && lParam) {
        UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
        lParam = static_cast<int>(
            code != NM_CUSTOMDRAW ? code : reinterpret_cast<NMCUSTOMDRAW*>(lParam)->dwDrawStage);
    }
    g_received.push_back({hwnd, {message, wasPosted ? posted : sent, wParam, lParam}});
}

// One message as the comparison shows it, with the values that `compare` names.
inline std::string Show(const Message& m, unsigned compare) {
    char text[96];
    std::snprintf(text, sizeof text, "%s %s 0x%04x", m.flags & parent ? "parent" : "control",
                  m.flags & posted ? "posted" : "sent", m.message);
    return text + (compare & wparam ? " wParam " + std::to_string(m.wParam) : "") +
           (compare & lparam ? " lParam " + std::to_string(m.lParam) : "");
}

inline std::vector<std::string> Expected(const std::vector<Message>& expected) {
    std::vector<std::string> shown;
    for (const Message& m : expected)
        shown.push_back(Show(m, m.flags));
    return shown;
}

// What the control and the parent received, in order, each with the values that the entry in its
// place compares. Hit-testing, colours and paint are left out unless the table names them.
inline std::vector<std::string> Taken(const std::vector<Message>& expected, HWND control,
                                      HWND parentWnd) {
    static const UINT kNoise[] = {WM_NCHITTEST,  WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_ERASEBKGND,
                                  WM_GETDLGCODE, WM_PAINT,          WM_NCMOUSEMOVE, WM_MOUSEMOVE};
    std::vector<std::string> shown;
    for (auto [hwnd, m] : g_received) {
        auto is = [&m](auto other) { return other == m.message; };
        auto named = [&m](const Message& e) { return e.message == m.message; };
        if ((hwnd != control && hwnd != parentWnd) ||
            (std::any_of(std::begin(kNoise), std::end(kNoise), is) &&
             std::none_of(expected.begin(), expected.end(), named)))
            continue;
        m.flags |= hwnd == parentWnd ? parent : 0u;
        shown.push_back(Show(m, shown.size() < expected.size() ? expected[shown.size()].flags : 0));
    }
    return shown;
}

}  // namespace seq

#define EXPECT_SEQUENCE(control, parentWnd, ...)                                        \
    do {                                                                                \
        std::vector<seq::Message> expected_ = __VA_ARGS__;                              \
        EXPECT_EQ(seq::Expected(expected_), seq::Taken(expected_, control, parentWnd)); \
        seq::g_received.clear();                                                        \
    } while (0)

class LayerTest : public ::testing::Test {
  public:
    // Runs before the parent's default processing: true answers the message with *result.
    static inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> parentHook;

    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
        LRESULT result = 0;
        if (parentHook && parentHook(hwnd, m, w, l, &result))
            return result;
        return DefWindowProcA(hwnd, m, w, l);
    }

  protected:
    void SetUp() override {
        support::FreshLayer();
        InitCommonControls();
        WNDCLASSEXA cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = ParentProc;
        cls.hInstance = own::ProgramInstance();
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        cls.lpszClassName = "TestParent";
        RegisterClassExA(&cls);  // fails harmlessly from the second test on
        own::SetProcedureObserver(seq::Record);
        parentWnd = CreateParent();
    }
    void TearDown() override {
        own::SetProcedureObserver(nullptr);
        seq::g_received.clear();
        parentHook = nullptr;  // before the windows go: a hook may hold a test's locals
        own::ResetLayer();
    }

    HWND CreateParent() {
        return CreateWindowExA(0, "TestParent", "Parent",
                               WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 400, 300,
                               nullptr, nullptr, own::ProgramInstance(), nullptr);
    }
    HWND CreateControl(const char* cls, const char* text, DWORD style, int x, int y, int width,
                       int height, int id, HWND parent) {
        return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                               parent, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)),
                               own::ProgramInstance(), nullptr);
    }
    HWND Slider(int min, int max, int pos) {
        HWND s = CreateControl(TRACKBAR_CLASSA, "Slider1", TBS_AUTOTICKS | TBS_BOTH | WS_TABSTOP,
                               10, 10, 203, 33, 1001, parentWnd);
        SendMessageA(s, TBM_SETRANGE, TRUE, MAKELPARAM(min, max));
        SendMessageA(s, TBM_SETPOS, TRUE, pos);
        return Watch(s);
    }
    // Comparisons start from here, once what is pending has run (first paints and all).
    static HWND Watch(HWND window) {
        support::DoEvents();
        seq::g_received.clear();
        return window;
    }

    HWND parentWnd = nullptr;
};

using namespace seq;  // the flags read as in the tables of the platform's own tests

namespace {

using Controls = LayerTest;

// A notification to the parent: its code (or draw stage) and, unless 0, its wParam.
Message Notice(UINT what, WPARAM w = 0) {
    return {WM_NOTIFY, sent | parent | lparam | (w ? wparam : 0u), w, static_cast<int>(what)};
}

// A slider's paint tells a parent that answers custom draw with the default once.
const Message kPrePaint = Notice(CDDS_PREPAINT);
// A press on a slider or tab that takes the focus from the parent.
const Message kDown = {WM_LBUTTONDOWN, posted}, kUp = {WM_LBUTTONUP, posted};
const Message kKillParent = {WM_KILLFOCUS, sent | parent}, kSetFocus = {WM_SETFOCUS, sent};
// Sent to the parent or the control, with this wParam.
Message ToParent(UINT message, WPARAM w) {
    return {message, sent | parent | wparam, w};
}
Message ToControl(UINT message, WPARAM w) {
    return {message, sent | wparam, w};
}
const Message kEndTrack = ToParent(WM_HSCROLL, TB_ENDTRACK),
              kCaptureChanged = {WM_CAPTURECHANGED, sent};
const Message kSetParent = {WM_SETFOCUS, sent | parent};

TEST_F(Controls, trackbar_tells_the_parent_of_a_drag_and_of_each_paint) {
    HWND slider = Slider(0, 10, 0);
    support::DragSlider(slider, 4);
    support::DoEvents();
    // Every move repaints at once (the parent hears NM_CUSTOMDRAW while the thumb moves); the
    // release sends the final position, ends tracking twice (once more as capture goes) and
    // tells that capture was released.
    EXPECT_SEQUENCE(
        slider, parentWnd,
        {kDown, kKillParent, kSetFocus, ToParent(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 2)),
         kPrePaint, ToParent(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 4)), kPrePaint, kUp,
         ToParent(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 4)), kEndTrack, kCaptureChanged,
         kEndTrack, Notice(NM_RELEASEDCAPTURE), kPrePaint});
    EXPECT_EQ(4, SendMessageA(slider, TBM_GETPOS, 0, 0));
    // A drag from where the last one left the thumb ends when another program takes the focus.
    headless::MouseDown(headless::SliderPointFor(slider, 4));
    headless::MouseMove(headless::SliderPointFor(slider, 6));
    headless::LoseFocus();
    headless::MouseMove(headless::SliderPointFor(slider, 9));
    headless::MouseUp(headless::SliderPointFor(slider, 9));
    support::DoEvents();
    EXPECT_EQ(6, SendMessageA(slider, TBM_GETPOS, 0, 0));
    // Setting the position from code tells nobody: the repaint is its only consequence. A parent
    // that answers custom draw otherwise than by default (the panel answers 1) hears the erase
    // stages too.
    parentHook = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
        *r = 1;
        return m == WM_NOTIFY;
    };
    SendMessageA(Watch(slider), TBM_SETPOS, TRUE, 3);
    support::DoEvents();
    EXPECT_SEQUENCE(slider, parentWnd,
                    {{TBM_SETPOS, sent},
                     {WM_PAINT, posted},
                     kPrePaint,
                     Notice(CDDS_PREERASE),
                     Notice(CDDS_POSTERASE)});
    // The parent destroys itself when the slider tells it of a move; the slider, still inside its
    // drag, must not touch what is gone (the sanitizer build watches).
    parentHook = [](HWND hwnd, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_HSCROLL)
            DestroyWindow(hwnd);
        return false;
    };
    support::DragSlider(slider, 8);
    support::DoEvents();
    EXPECT_FALSE(IsWindow(slider));
}

TEST_F(Controls, tab_click_asks_the_parent_which_may_refuse) {
    HWND tab = CreateControl(WC_TABCONTROLA, "", 0, 5, 5, 350, 250, 1012, parentWnd);
    for (int i = 0; i < 5; ++i) {
        TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(kProfileNames[i]), 0, -1, 0};
        SendMessageA(tab, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    Watch(tab);
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
    // Selecting from code tells nobody; a click on the tab so selected changes nothing.
    SendMessageA(tab, TCM_SETCURSEL, 1, 0);
    support::ClickTab(tab, 1);
    support::DoEvents();
    EXPECT_SEQUENCE(tab, parentWnd, {{TCM_SETCURSEL, sent}, kDown, kUp, kClick});
}

TEST_F(Controls, check_box_click_toggles_then_tells_the_parent) {
    HWND box = Watch(CreateControl("Button", "Build Mines", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 60,
                                   120, 20, 1017, parentWnd));
    support::Click(box);
    Watch(box);
    support::Click(box);
    support::DoEvents();
    const Message kClicked = {WM_COMMAND, sent | parent | wparam | lparam,
                              MAKEWPARAM(1017, BN_CLICKED), reinterpret_cast<LPARAM>(box)};
    EXPECT_SEQUENCE(box, parentWnd,
                    {kDown, ToControl(BM_SETSTATE, TRUE), kUp, ToControl(BM_SETSTATE, FALSE),
                     ToControl(BM_SETCHECK, BST_UNCHECKED), kCaptureChanged, kClicked});
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

using WindowQueue = LayerTest;

TEST_F(WindowQueue, the_close_box_and_close_destroy_the_window_and_its_children) {
    HWND child = CreateControl("Static", "label", 0, 5, 5, 50, 20, 7, parentWnd);
    Watch(parentWnd);
    // A label is transparent to the mouse: a click on it reaches the window beneath.
    support::Click(child);
    headless::CloseWindow(parentWnd);
    support::DoEvents();
    EXPECT_SEQUENCE(child, parentWnd,
                    {{WM_LBUTTONDOWN, posted | parent},
                     {WM_LBUTTONUP, posted | parent},
                     {WM_NCLBUTTONDOWN, posted | parent | wparam, static_cast<WPARAM>(HTCLOSE)},
                     {WM_NCLBUTTONUP, posted | parent | wparam, static_cast<WPARAM>(HTCLOSE)},
                     ToParent(WM_SYSCOMMAND, SC_CLOSE),
                     {WM_CLOSE, sent | parent},
                     ToParent(WM_ACTIVATE, WA_INACTIVE),
                     kKillParent,
                     {WM_DESTROY, sent | parent},
                     {WM_DESTROY, sent},
                     {WM_NCDESTROY, sent},
                     {WM_NCDESTROY, sent | parent}});
    EXPECT_TRUE(headless::Windows().empty());
}

TEST_F(WindowQueue, unknown_and_stale_windows_are_refused) {
    HWND bogus = reinterpret_cast<HWND>(0x12345678);
    SetLastError(0);
    EXPECT_EQ(0, SendMessageA(bogus, WM_USER, 1, 2));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, GetLastError());
    EXPECT_FALSE(PostMessageA(bogus, WM_USER, 0, 0));
    EXPECT_FALSE(DestroyWindow(bogus));
    EXPECT_EQ(nullptr, GetDlgItem(bogus, 1));
    EXPECT_FALSE(SetWindowTextA(bogus, "x"));
    EXPECT_FALSE(InvalidateRect(bogus, nullptr, TRUE));
    HWND stale = CreateParent();
    ASSERT_TRUE(PostMessageA(stale, WM_USER, 0, 0));
    DestroyWindow(stale);
    EXPECT_EQ(0, SendMessageA(stale, WM_USER, 0, 0));
    // The message posted to it before it went is taken but reaches nobody.
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(stale, msg.hwnd);
    EXPECT_EQ(0, DispatchMessageA(&msg));
    // A new window never gets an old handle back; extra bytes out of range are refused, not read.
    HWND top = CreateParent();
    EXPECT_NE(stale, top);
    EXPECT_EQ(0, GetWindowLongPtrA(top, 64));
    // A text is cut to the buffer, and terminated.
    char text[8];
    EXPECT_EQ(7, GetWindowTextA(CreateControl("Static", "8 minutes", 0, 0, 0, 90, 24, 1, top), text,
                                sizeof text));
    EXPECT_STREQ("8 minut", text);
}

TEST_F(WindowQueue, queue_order_posted_quit_input_paint_timer) {
    static DWORD now = 0;
    own::SetClockHook(+[] { return now; });
    support::DoEvents();
    SetTimer(parentWnd, 7, 100, nullptr);
    now += 350;
    InvalidateRect(parentWnd, nullptr, TRUE);
    headless::PressKey('A');
    PostQuitMessage(3);
    PostMessageA(parentWnd, WM_USER, 0, 0);
    // Posted messages first, then the quit, input (to the focus window, translated), paint
    // (until the window is painted: the default procedure paints it), and last the timer: one
    // WM_TIMER however often it fell due.
    using Taken = std::vector<std::pair<UINT, WPARAM>>;
    Taken taken;
    MSG msg{};
    for (bool painted = false; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
        taken.emplace_back(msg.message, msg.wParam);
        EXPECT_EQ(msg.message == WM_QUIT ? nullptr : parentWnd, msg.hwnd);
        TranslateMessage(&msg);
        if (msg.message != WM_PAINT || std::exchange(painted, true))
            DispatchMessageA(&msg);
    }
    const Taken kOrder = {{WM_USER, 0},    {WM_QUIT, 3},  {WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'},
                          {WM_KEYUP, 'A'}, {WM_PAINT, 0}, {WM_PAINT, 0},     {WM_TIMER, 7}};
    EXPECT_EQ(kOrder, taken);
    // Then one a period; none once killed.
    now += 50;
    EXPECT_TRUE(PeekMessageA(&msg, parentWnd, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    KillTimer(parentWnd, 7);
    own::SetClockHook(nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    // A hidden window is never painted.
    ShowWindow(parentWnd, SW_HIDE);
    InvalidateRect(parentWnd, nullptr, TRUE);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    // Every loop takes its input from an input source; without one a wait would hang the test
    // run, and ends it instead.
    EXPECT_DEATH(GetMessageA(&msg, nullptr, 0, 0), "would wait for input");
}

using Dialogs = LayerTest;

TEST_F(Dialogs, a_dialog_that_cannot_be_made_leaves_no_window) {
    own::DialogTemplate t{};
    t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT;
    t.items = {{0, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 50, 14, 1, 0x0080, "", "OK"},
               {0, WS_CHILD | WS_VISIBLE, 0, 20, 50, 14, 2, 0, "msctls_progress32", ""}};
    EXPECT_EQ(nullptr,
              own::CreateDialogFromTemplate(t, own::ProgramInstance(), nullptr, nullptr, 0));
    EXPECT_EQ(1u, headless::Windows().size());  // the parent alone
}

// OK, Enter, Space and Escape end a box in the scenarios; here its close box does.
TEST_F(Dialogs, a_boxs_modal_loop_serves_the_window_beneath_until_its_close_box) {
    HWND check =
        CreateControl("Button", "Build Mines", BS_AUTOCHECKBOX, 10, 10, 120, 20, 1017, parentWnd);
    Watch(parentWnd);
    support::ScriptedInput script;
    script.Then([&] { support::Click(check); }).Then([] {
        headless::CloseWindow(headless::OpenBoxes().back().box);
    });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "File error!\nUsing defaults.", "Error", MB_OK));
    EXPECT_EQ(0u, script.remaining());
    // The box took the activation; the click gave it back to the window, which went on working;
    // dismissing the box raised the window again.
    EXPECT_EQ(static_cast<LRESULT>(BST_CHECKED), SendMessageA(check, BM_GETCHECK, 0, 0));
    EXPECT_SEQUENCE(
        nullptr, parentWnd,
        {ToParent(WM_ACTIVATE, WA_INACTIVE), kKillParent, ToParent(WM_ACTIVATE, WA_CLICKACTIVE),
         kSetParent, kKillParent, ToParent(WM_COMMAND, MAKEWPARAM(1017, BN_CLICKED)),
         ToParent(WM_ACTIVATE, WA_INACTIVE), ToParent(WM_ACTIVATE, WA_ACTIVE), kSetParent});
}

}  // namespace
