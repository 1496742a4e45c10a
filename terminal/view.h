#pragma once
// The screen as the terminal shows it: every window of the own layer drawn from its own state
// onto a cell grid, with what a cell stands for when the mouse points at it.

#include <string>
#include <vector>

#include "platform/own/headless.h"
#include "terminal/canvas.h"
#include "terminal/layout.h"

namespace terminal {

// A top-level window as drawn.
struct Placed {
    struct Spot {
        int col, row;
        POINT point;
    };
    HWND hwnd;
    Layout layout;
    // Cells that stand for an exact point: the close box, a slider's ticks and thumb.
    std::vector<Spot> spots;

    POINT PointAt(int col, int row) const;
};

struct Picture {
    Canvas canvas{0, 0};
    std::vector<Placed> windows;  // back to front
    bool tooSmall = false;
    // Where the terminal's cursor stands: on the focused control, as screen readers expect.
    int cursorCol = 0, cursorRow = 0;

    // The window drawn at a cell, front first; null where there is none.
    const Placed* At(int col, int row) const;
    const Placed* Find(HWND top) const;
};

// Draws what is on screen now for a terminal of cols x rows; the last row shows the keys.
Picture Render(int cols, int rows);

// The program's window: the visible top-level window that is not a message box.
HWND MainWindow();

}  // namespace terminal
