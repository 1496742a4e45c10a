#pragma once
// Inside the own layer: which windows want painting. Nothing outside platform/own includes this.

#include "platform/own/win32.h"

namespace own {

// The window that the next WM_PAINT goes to; null when none wants painting.
HWND FindWindowToPaint();
// Marks a window and its descendants as wanting painting.
void InvalidateTree(HWND hwnd);

}  // namespace own
