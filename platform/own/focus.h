#pragma once
// Inside the own layer: showing and hiding, activation, keyboard focus and mouse capture. Nothing
// outside platform/own includes this.

#include "platform/own/win32.h"

namespace own {

// Clears WS_VISIBLE without telling the window (no WM_SHOWWINDOW): what lay under it is repainted
// and activation moves on, as with the platform's hiding by window position. ShowWindow(SW_HIDE)
// calls it after its notice; DestroyWindow and EndDialog call it directly.
void HideWithoutNotice(HWND hwnd);

// Activates the top-level window under a click (WA_CLICKACTIVE), raising it.
void ActivateByClick(HWND top);
// Forgets focus, activation and capture.
void ForgetInputState();

}  // namespace own
