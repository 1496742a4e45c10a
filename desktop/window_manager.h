#pragma once
// What the window manager is told about the program's X windows, so that they take their place
// among the others: class and process, a UTF-8 title, the icon, the close request, a fixed size,
// and no decorations of its own (the windows draw their own caption and frame).

#include <X11/Xlib.h>

#include <string>

namespace desktop {

struct WindowManagerAtoms {
    Atom protocols = 0, deleteWindow = 0, motifHints = 0, name = 0, utf8 = 0, icon = 0, pid = 0;
};
void InternAtoms(Display* display, WindowManagerAtoms* atoms);

// Everything a new window tells the window manager before it is mapped; the rectangle in pixels
// of the real screen.
void Introduce(Display* display, const WindowManagerAtoms& atoms, ::Window window, int x, int y,
               int width, int height, const std::string& title);
// The title, from the program's 8-bit text (code page 1252).
void SetTitle(Display* display, const WindowManagerAtoms& atoms, ::Window window,
              const std::string& title);

}  // namespace desktop
