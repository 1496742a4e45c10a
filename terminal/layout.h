#pragma once
// Where a top-level window and its children stand on the terminal's cell grid, and back.
//
// Columns scale evenly: a column is four fifths of a dialog's average character width, so that
// every text the template sized for its font fits, and the control panel is 79 columns wide.
// Rows do not scale: a terminal row is as tall as a line of text, and the template's controls
// stand closer than that. Every control names the heights at which it needs a row of its own (a
// group box its top and bottom edge, a check box its middle line...); heights closer than half a
// line share a row, and a wide gap between controls gets one blank row. So the arrangement stays
// the template's, top to bottom and left to right, in as few rows as it needs.

#include <vector>

#include "platform/own/headless.h"
#include "terminal/canvas.h"

namespace terminal {

class Layout {
  public:
    // window: a top-level window; descendants: its visible descendants, as headless::Windows()
    // lists them. The layout starts at column 0, row 0 until it is moved.
    Layout(const headless::WindowInfo& window,
           const std::vector<headless::WindowInfo>& descendants);

    void MoveTo(int col, int row);
    CellRect Bounds() const { return {col_, row_, col_ + cols_, row_ + rows_}; }

    // The cell of a screen point, and the cells a screen rectangle covers.
    int Column(long x) const;
    int Row(long y) const;
    // Columns from the left edge's to the right edge's; the rows of its top and bottom edges.
    CellRect Cells(const RECT& r) const;
    // The screen point at the middle of a cell, also for cells outside the window (drags).
    POINT PointAt(int col, int row) const;

  private:
    struct Band {
        long low, high;  // screen y of the heights that share the row
        int row;         // relative to the window's first row
    };

    void AddBands(std::vector<long> heights, const std::vector<headless::WindowInfo>& descendants);
    long BandMiddle(const Band& band) const { return (band.low + band.high) / 2; }

    RECT rect_;
    int col_ = 0, row_ = 0;
    int cols_ = 0, rows_ = 0;
    std::vector<Band> bands_;
};

}  // namespace terminal
