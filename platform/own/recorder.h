#pragma once
// Inside the own layer: hands every message that reaches a window procedure to the recorder of the
// headless driver, when one is listening.

#include "platform/own/win32.h"

namespace own {
void RecordMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool posted);
}  // namespace own
