// The thread's message queue: posted messages, then the quit flag, then input, then WM_PAINT for a
// window that wants it, then a timer that is due, in the order in which the platform hands them
// out. GetMessageA asks the input source when it would wait.
#include <cstdio>
#include <cstdlib>
#include <deque>

#include "platform/own/headless.h"
#include "platform/own/paint.h"
#include "platform/own/queue.h"
#include "platform/own/window.h"

namespace own {
namespace {

std::deque<MSG> g_posted;
bool g_quitPosted = false;
int g_quitCode = 0;
DWORD g_time = 0;

bool TakeMessage(MSG* msg, HWND filter, UINT first, UINT last, bool remove) {
    for (auto it = g_posted.begin(); it != g_posted.end(); ++it) {
        if (Matches(it->hwnd, it->message, filter, first, last)) {
            *msg = *it;
            if (remove)
                g_posted.erase(it);
            return true;
        }
    }
    if (g_quitPosted && Matches(nullptr, WM_QUIT, nullptr, first, last)) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(g_quitCode), 0, g_time, {}};
        if (remove)
            g_quitPosted = false;
        return true;
    }
    // Input becomes a message when first looked at. One that is left in place (not removed, or
    // outside the filter) then waits at the head of the queue.
    MSG input;
    if (TakeInputMessage(&input)) {
        bool wanted = Matches(input.hwnd, input.message, filter, first, last);
        if (!remove || !wanted)
            g_posted.push_front(input);
        if (wanted) {
            *msg = input;
            return true;
        }
    }
    HWND paint = FindWindowToPaint();
    if (paint && Matches(paint, WM_PAINT, filter, first, last)) {
        *msg = MSG{paint, WM_PAINT, 0, 0, g_time, {}};
        return true;
    }
    return TakeTimerMessage(msg, filter, first, last, remove);
}

void ReportStarvation() {
    std::fprintf(stderr,
                 "own Win32 layer: GetMessageA would wait for input that will never come "
                 "(no input source, or it has no more input). Windows on screen:\n");
    for (const headless::WindowInfo& w : headless::Windows()) {
        if (!w.visible)
            continue;
        std::fprintf(stderr, "  %*s%s \"%s\" id %d%s\n", 2 * w.depth, "", w.className.c_str(),
                     w.text.c_str(), w.id, w.focused ? " (focus)" : "");
    }
    for (const headless::BoxInfo& box : headless::OpenBoxes()) {
        std::fprintf(stderr, "  open message box [%s] %s\n", box.title.c_str(), box.text.c_str());
    }
    std::fflush(stderr);
    std::abort();
}

}  // namespace

bool Matches(HWND hwnd, UINT message, HWND filter, UINT first, UINT last) {
    if (filter && hwnd != filter && !IsChild(filter, hwnd))
        return false;
    return (first == 0 && last == 0) || (message >= first && message <= last);
}

DWORD NextMessageTime() {
    return ++g_time;
}

void ResetMessageQueue() {
    g_posted.clear();
    g_quitPosted = false;
    g_quitCode = 0;
    ClearInput();
    ClearTimers();
}

}  // namespace own

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd && !own::CheckedWindow(hwnd))
        return FALSE;
    own::g_posted.push_back(MSG{hwnd, message, wParam, lParam, own::NextMessageTime(), {}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    own::g_quitPosted = true;
    own::g_quitCode = exitCode;
}

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove) {
    if (!msg)
        return FALSE;
    return own::TakeMessage(msg, hwnd, first, last, (remove & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (hwnd && !own::CheckedWindow(hwnd))
        return -1;
    // A source that returns true may have given nothing (a terminal that was only resized): it is
    // simply asked again, as the platform would go on waiting.
    while (!own::TakeMessage(msg, hwnd, first, last, true)) {
        headless::InputSource* source = headless::GetInputSource();
        if (!source || !source->ProvideInput())
            own::ReportStarvation();
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    WPARAM vk = msg->wParam;
    char ch = 0;
    if (vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE || vk == VK_BACK || vk == VK_TAB) {
        ch = static_cast<char>(vk);
    } else if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        ch = static_cast<char>(vk >= 'A' ? vk - 'A' + 'a' : vk);
    }
    UINT message = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    if (ch)
        PostMessageA(msg->hwnd, message, static_cast<unsigned char>(ch), msg->lParam);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    // A timer with a procedure of its own calls that instead of the window's.
    if (msg && msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg || !msg->hwnd || !IsWindow(msg->hwnd))
        return 0;
    return own::CallProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam, true);
}
