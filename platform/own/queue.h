#pragma once
// Inside the own layer: the thread's message queue and the input queue behind it. Nothing outside
// platform/own includes this.

#include "platform/own/win32.h"

namespace own {

// A rising message time.
DWORD NextMessageTime();
// Whether a message passes the filter of GetMessageA and PeekMessageA: for the window or a child
// of it (any window for a null filter), within the range (any message for 0, 0).
bool Matches(HWND hwnd, UINT message, HWND filter, UINT first, UINT last);
// Empties the posted messages and the input, and forgets a pending quit.
void ResetMessageQueue();

// The input queue, consulted by GetMessageA after posted messages (input.cpp). Injected input
// waits here until the queue turns it into the message that the platform would deliver.
bool TakeInputMessage(MSG* msg);
void ClearInput();
enum class InputKind { kMouseDown, kMouseMove, kMouseUp, kKeyDown, kKeyUp, kFocusLost };
void InjectInput(InputKind kind, POINT screen, UINT vk);

// Timers (timer.cpp): a WM_TIMER for the earliest due timer within the filter, taken last of all;
// the milliseconds until a timer is due (0 when one is, -1 when there is none).
bool TakeTimerMessage(MSG* msg, HWND filter, UINT first, UINT last, bool remove);
int MillisecondsToNextTimer();
void ClearTimers();

// Hit-testing in screen coordinates, through WM_NCHITTEST as the platform does.
HWND WindowFromScreenPoint(POINT screen, LRESULT* hitCode);

}  // namespace own
