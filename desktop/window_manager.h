#pragma once
// What the window manager is told about the program's X windows, so that they take their place
// among the others: class and process, a UTF-8 title, the icon, the close and focus requests, a
// fixed size, and no decorations of its own (the windows draw their own caption and frame). And
// what it tells: whether one runs, how it takes activation, and the work area of each monitor.

#include <X11/Xlib.h>

#include <string>

namespace desktop {

struct WindowManagerAtoms {
    Atom protocols = 0, deleteWindow = 0, takeFocus = 0, motifHints = 0, name = 0, utf8 = 0,
         icon = 0, pid = 0, supported = 0, check = 0, activeWindow = 0, workArea = 0,
         currentDesktop = 0;
};
void InternAtoms(Display* display, WindowManagerAtoms* atoms);

// Everything a new window tells the window manager before it is mapped; the rectangle in pixels
// of the real screen.
void Introduce(Display* display, const WindowManagerAtoms& atoms, ::Window window, int x, int y,
               int width, int height, const std::string& title);
// The title, from the program's 8-bit text (code page 1252).
void SetTitle(Display* display, const WindowManagerAtoms& atoms, ::Window window,
              const std::string& title);

enum class Manager {
    kNone,       // our windows stand among their siblings, children of the root
    kOther,      // one without _NET_ACTIVE_WINDOW: a window is raised by itself
    kActivates,  // one that activates (raises and focuses) a window on request
};
Manager RunningManager(Display* display, const WindowManagerAtoms& atoms);
// Asks the window manager to activate the window, for the user's action at that time.
void RequestActivation(Display* display, const WindowManagerAtoms& atoms, ::Window window,
                       ::Window active, Time time);

struct Area {
    int left, top, right, bottom;
};
// The work area of the monitor that holds the point, else of the first (the primary): the
// monitor less what the desktop's panels take (_NET_WORKAREA).
Area WorkArea(Display* display, const WindowManagerAtoms& atoms, int x, int y);

}  // namespace desktop
