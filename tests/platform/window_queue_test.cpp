// Windows, the default procedure and the queue: closing and destruction, the order in which the
// queue hands out messages, robustness against unknown windows and destruction in a send.
#include <gtest/gtest.h>

#include <utility>

#include "layer_fixture.h"

using namespace seq;

namespace {

using WindowQueue = LayerTest;

TEST_F(WindowQueue, the_close_box_and_close_destroy_the_window_and_its_children) {
    HWND top = CreateParent();
    HWND child = CreateControl("Static", "label", 0, 5, 5, 50, 20, 7, top);
    Watch(top);
    Watch(child);
    headless::CloseWindow(top);
    support::DoEvents();
    EXPECT_SEQUENCE(child, top,
                    {{WM_NCLBUTTONDOWN, posted | parent | wparam, static_cast<WPARAM>(HTCLOSE)},
                     {WM_NCLBUTTONUP, posted | parent | wparam, static_cast<WPARAM>(HTCLOSE)},
                     {WM_SYSCOMMAND, sent | parent | wparam, SC_CLOSE},
                     {WM_CLOSE, sent | parent},
                     {WM_ACTIVATE, sent | parent | wparam, WA_INACTIVE},
                     {WM_KILLFOCUS, sent | parent},
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

TEST_F(WindowQueue, a_window_destroyed_inside_a_notification) {
    HWND top = CreateParent();
    HWND box = CreateControl("Button", "Mines", BS_AUTOCHECKBOX, 5, 5, 100, 20, 1017, top);
    // The parent destroys itself when the box tells it of the click; the box, still inside its
    // own click handling, must not touch what is gone (the sanitizer build watches).
    parentHook = [](HWND hwnd, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_COMMAND)
            DestroyWindow(hwnd);
        return false;
    };
    support::Click(box);
    support::DoEvents();
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(box));
}

TEST_F(WindowQueue, queue_order_posted_quit_input_paint_timer) {
    static DWORD now = 0;
    own::SetClockHook(+[] { return now; });
    HWND top = CreateParent();
    support::DoEvents();
    SetTimer(top, 7, 100, nullptr);
    now += 350;
    InvalidateRect(top, nullptr, TRUE);
    headless::PressKey('A');
    PostQuitMessage(3);
    PostMessageA(top, WM_USER, 0, 0);
    // Posted messages first, then the quit, input (to the focus window, translated), paint
    // (until the window is painted: the default procedure paints it), and last the timer: one
    // WM_TIMER however often it fell due.
    using Taken = std::vector<std::pair<UINT, WPARAM>>;
    Taken taken;
    MSG msg{};
    for (bool painted = false; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
        taken.emplace_back(msg.message, msg.wParam);
        EXPECT_EQ(msg.message == WM_QUIT ? nullptr : top, msg.hwnd);
        TranslateMessage(&msg);
        if (msg.message != WM_PAINT || std::exchange(painted, true))
            DispatchMessageA(&msg);
    }
    const Taken kOrder = {{WM_USER, 0},    {WM_QUIT, 3},  {WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'},
                          {WM_KEYUP, 'A'}, {WM_PAINT, 0}, {WM_PAINT, 0},     {WM_TIMER, 7}};
    EXPECT_EQ(kOrder, taken);
    // Then one a period; none once killed.
    now += 50;
    EXPECT_TRUE(PeekMessageA(&msg, top, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    KillTimer(top, 7);
    own::SetClockHook(nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    // A hidden window is never painted.
    ShowWindow(top, SW_HIDE);
    InvalidateRect(top, nullptr, TRUE);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

// Every loop takes its input from the input source, as the scripted tests show; without one, a
// wait would hang a test run, and ends it instead.
TEST_F(WindowQueue, get_message_without_an_input_source_fails_loudly) {
    MSG msg;
    EXPECT_DEATH(GetMessageA(&msg, nullptr, 0, 0), "would wait for input");
}

}  // namespace
