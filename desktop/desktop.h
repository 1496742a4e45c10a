#pragma once
// The desktop front end: an input source for the own layer that, whenever the program would
// wait, shows each visible top-level window as an X window of its own (drawn by desktop/painter)
// and waits for X input, which it turns into the layer's mouse and key input.
//
// The layer's screen coordinates stay its own: a point in an X window is the window's layer
// rectangle origin plus the offset inside it, divided by the scale, wherever the X window stands
// on the real screen. The scale is a whole factor (1, 2 or 3) by which every pixel of the layer
// becomes a square of the real screen's, so that the look stays exactly the same, only bigger.
// The X windows stand where the platform places windows on the real screen, inside the work area
// of their monitor; a scale at which the dialog would not fit there falls back to one that fits.
// Our windows draw their own caption and frame; the window manager's decorations are asked
// away, dragging our caption moves the X window, and the window manager's close request
// (WM_DELETE_WINDOW) is a click on the close box. A window manager stacks and focuses the windows;
// the window that it focuses is the layer's active one.

#include <memory>
#include <string>

#include "platform/own/headless.h"

namespace desktop {

// A scale as written in an option or AICP_SCALE: 1, 2 or 3; 0 for anything else.
inline int ScaleNamed(const char* text) {
    return text[0] >= '1' && text[0] <= '3' && !text[1] ? text[0] - '0' : 0;
}

class DesktopInput : public headless::InputSource {
  public:
    DesktopInput();
    ~DesktopInput() override;
    DesktopInput(const DesktopInput&) = delete;
    DesktopInput& operator=(const DesktopInput&) = delete;

    // Opens the display and loads the font. The scale is 1 to 3, or 0 for the one that AICP_SCALE
    // asks for, else the screen's (its Xft.dpi: 144 or more is 2, 240 or more is 3). False when
    // no display is asked for (DISPLAY is not set: *error empty), or with the reason, naming the
    // display or the font, in *error.
    bool Start(int scale, std::string* error);
    // Where a point of the layer's screen is on the real one: in the X window of the top-level
    // window that holds it, wherever that stands, once every window shows.
    POINT OnScreen(POINT point);
    // Whether the button is held on one of the windows.
    bool Holding() const;
    // Closes every window and the display.
    void Stop();

    // Waits until the display has given the layer something to do.
    bool ProvideInput() override;
    // Brings the windows up to date and handles what the display has sent so far, without
    // waiting; true when that gave the layer something to do.
    bool Pump();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace desktop
