// What the control classes share: their state's place in the window record, and the start of the
// common controls.
#include "platform/own/controls.h"

#include "platform/own/window.h"
#include "platform/own/window_class.h"

namespace own {

std::shared_ptr<void>* ControlStateSlot(HWND hwnd, WNDPROC proc) {
    Window* w = FindWindowRecord(hwnd);
    return w && w->cls->proc == proc ? &w->controlState : nullptr;
}

}  // namespace own

// Registering a class again leaves it as it is, so calling this again does nothing.
void InitCommonControls() {
    own::RegisterTrackbarClass();
    own::RegisterTabClass();
}
