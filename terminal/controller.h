#pragma once
// What a person does at the terminal, turned into the input that the own layer's driver injects:
// the same mouse and key events that the platform's hardware would give. Keys reach the dialog as
// keys: its dialog manager moves the focus, presses the buttons and answers the boxes.

#include <vector>

#include "platform/own/headless.h"
#include "terminal/view.h"

namespace terminal {

enum class Key {
    kTab,
    kBackTab,      // Shift+Tab
    kNextTab,      // Ctrl+Page Down: the next profile tab
    kPreviousTab,  // Ctrl+Page Up
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
    // Closes the innermost message box, or the dialog when none is open, as their close boxes do.
    void CloseInnermost();
    // A mouse event at a cell of the picture on screen; outside any window a press does nothing.
    void OnMouse(const Picture& picture, MouseAction action, int col, int row);

  private:
    HWND grabbed_ = nullptr;  // the top-level window that took the press, until the release
    POINT last_{};
};

}  // namespace terminal
