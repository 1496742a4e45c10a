#pragma once
// What a person does at the terminal, turned into the input that the own layer's driver injects:
// the same mouse and key events that the platform's hardware would give.
//
// The program has no dialog keyboard navigation, so on the platform a person moves the focus with
// the mouse. The terminal has Tab and Shift+Tab for that instead: they move the focus over the
// dialog's tab stops (its WS_TABSTOP controls and its tab control) in reading order.

#include <vector>

#include "platform/own/headless.h"
#include "terminal/view.h"

namespace terminal {

enum class Key {
    kTab,
    kBackTab,
    kLeft,
    kRight,
    kUp,
    kDown,
    kHome,
    kEnd,
    kPageUp,
    kPageDown,
    kSpace,
    kEnter,
    kEscape,
    kClose,  // closes the dialog, as its close box does
};

enum class MouseAction { kPress, kMove, kRelease };

class Controller {
  public:
    virtual ~Controller();

    void OnKey(Key key);
    // A mouse event at a cell of the picture on screen; outside any window a press does nothing.
    void OnMouse(const Picture& picture, MouseAction action, int col, int row);

  private:
    HWND grabbed_ = nullptr;  // the top-level window that took the press, until the release
    POINT last_{};
};

// The dialog's tab stops in the order Tab visits them.
std::vector<HWND> TabStops(HWND dialog);

}  // namespace terminal
