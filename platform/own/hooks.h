#pragma once
// Where code outside the own layer may watch it and steer it: an observer of every window-procedure
// call, an observer of message boxes, the path that GetModuleFileNameA reports, the clock, and a
// return to the layer's state at start. The layer itself installs none of them; with none installed
// it behaves as the platform does.

#include "platform/own/headless.h"

namespace own {

// Called just before a window procedure gets a message. posted: it came through DispatchMessageA;
// otherwise SendMessageA or the layer itself sent it.
using ProcedureObserver = void (*)(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                   bool posted);
// Installs the observer (null for none) and returns the one it replaces.
ProcedureObserver SetProcedureObserver(ProcedureObserver observer);

// A message box on screen, just before its modal loop starts. The observer may answer the box,
// e.g. by clicking okButton through the headless driver: the click waits in the input queue, and
// the box's modal loop takes it.
using BoxObserver = void (*)(const headless::BoxInfo& box);
BoxObserver SetBoxObserver(BoxObserver observer);

// Asked for the program's path before /proc/self/exe; returns null or "" for the default.
using ModulePathHook = const char* (*)();
ModulePathHook SetModulePathHook(ModulePathHook hook);

// Asked for the time in place of the system's monotonic clock, in milliseconds as GetTickCount
// gives it; null for the system's. A test moves it by hand, so that timers fire without waiting.
using ClockHook = DWORD (*)();
ClockHook SetClockHook(ClockHook hook);

// Destroys every window, empties the message and input queues, and forgets focus, activation,
// capture, dialog results, open message boxes and a pending quit. Classes and hooks stay.
void ResetLayer();

}  // namespace own
