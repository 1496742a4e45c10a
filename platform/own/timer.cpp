// Timers and the clock. A timer is no queued message: the queue makes a WM_TIMER of a timer that
// is due only when it has nothing posted, no input and no window to paint, as the platform does,
// and a timer that has been due several times over still gives one WM_TIMER. Taking it moves the
// timer on by whole periods, so that it keeps its beat however late it was taken.
#include <time.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/own/hooks.h"
#include "platform/own/queue.h"
#include "platform/own/window.h"

namespace own {
namespace {

struct Timer {
    HWND hwnd;  // null for a timer of the thread
    UINT_PTR id;
    UINT period;
    DWORD due;
    TIMERPROC proc;
};

std::vector<Timer> g_timers;
UINT_PTR g_lastThreadTimer = 0;
ClockHook g_clock = nullptr;

// Due at `now`, counting across the clock's wrap after 49.7 days.
bool IsDue(const Timer& t, DWORD now) {
    return static_cast<int>(now - t.due) >= 0;
}

// The timers of windows that are gone go with them (handles are never reused).
void ForgetTimersOfGoneWindows() {
    std::erase_if(g_timers, [](const Timer& t) { return t.hwnd && !IsWindow(t.hwnd); });
}

Timer* Find(HWND hwnd, UINT_PTR id) {
    for (Timer& t : g_timers) {
        if (t.hwnd == hwnd && t.id == id)
            return &t;
    }
    return nullptr;
}

}  // namespace

bool TakeTimerMessage(MSG* msg, HWND filter, UINT first, UINT last, bool remove) {
    ForgetTimersOfGoneWindows();
    DWORD now = GetTickCount();
    Timer* earliest = nullptr;
    for (Timer& t : g_timers) {
        if (IsDue(t, now) && Matches(t.hwnd, WM_TIMER, filter, first, last) &&
            (!earliest || static_cast<int>(t.due - earliest->due) < 0))
            earliest = &t;
    }
    if (!earliest)
        return false;
    *msg = MSG{
        earliest->hwnd, WM_TIMER, earliest->id, reinterpret_cast<LPARAM>(earliest->proc), now, {}};
    GetCursorPos(&msg->pt);
    while (remove && IsDue(*earliest, now))
        earliest->due += earliest->period;
    return true;
}

int MillisecondsToNextTimer() {
    ForgetTimersOfGoneWindows();
    DWORD now = GetTickCount();
    int next = -1;
    for (const Timer& t : g_timers) {
        int wait = IsDue(t, now) ? 0 : static_cast<int>(t.due - now);
        next = next < 0 || wait < next ? wait : next;
    }
    return next;
}

void ClearTimers() {
    g_timers.clear();
}

ClockHook SetClockHook(ClockHook hook) {
    return std::exchange(g_clock, hook);
}

}  // namespace own

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (hwnd && !own::CheckedWindow(hwnd))
        return 0;
    UINT period = std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    // A window's timer is named by its id; a thread's gets a new id unless it names one of them.
    if (!hwnd && !own::Find(nullptr, id))
        id = ++own::g_lastThreadTimer;
    own::Timer timer{hwnd, id, period, GetTickCount() + period, proc};
    if (own::Timer* old = own::Find(hwnd, id))
        *old = timer;
    else
        own::g_timers.push_back(timer);
    return hwnd && id == 0 ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    auto removed = std::erase_if(
        own::g_timers, [hwnd, id](const own::Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (removed == 0)
        SetLastError(ERROR_INVALID_PARAMETER);
    return removed ? TRUE : FALSE;
}

DWORD GetTickCount() {
    if (own::g_clock)
        return own::g_clock();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<DWORD>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}
