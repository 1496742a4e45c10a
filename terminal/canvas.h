#pragma once
// A grid of character cells: what the renderer draws and the terminal shows. A cell holds a
// character or a line-drawing piece, and the role that picks its colours, so that the same picture
// can be shown with colours and line drawing, or as plain characters.

#include <string>
#include <vector>

namespace terminal {

enum class Role : unsigned char {
    kDesktop,          // around the windows
    kFace,             // a window's face and its texts
    kCaption,          // the caption of the active window
    kCaptionInactive,  // the caption of any other window
    kFocus,            // the control that has the keyboard focus
    kSelected,         // the selected tab
    kThumb,            // a slider's thumb
    kHelp,             // the line of keys
    kWarning,          // the too-small message
};

// Pieces that the terminal draws with its line-drawing set when it has one.
enum class Glyph : unsigned char {
    kChar,  // the cell's character as it is
    kHLine,
    kVLine,
    kTopLeft,
    kTopRight,
    kBottomLeft,
    kBottomRight,
    kTick,   // a tick on a slider's channel
    kThumb,  // a slider's thumb
};

struct Cell {
    char ch = ' ';
    Glyph glyph = Glyph::kChar;
    Role role = Role::kDesktop;
    bool operator==(const Cell&) const = default;
};

struct CellRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool Contains(int col, int row) const {
        return col >= left && col < right && row >= top && row < bottom;
    }
};

class Canvas {
  public:
    Canvas(int cols, int rows);

    int cols() const { return cols_; }
    int rows() const { return rows_; }
    const Cell& At(int col, int row) const;
    bool operator==(const Canvas&) const = default;

    // Every drawing call clips to the canvas.
    void Fill(const CellRect& area, Role role);
    void Put(int col, int row, Glyph glyph, Role role);
    // Writes text from col on, cut at limit (exclusive column); returns the column after it.
    int Text(int col, int row, const std::string& text, Role role, int limit);
    // Returns the column at which the text begins.
    int TextCentred(const CellRect& area, int row, const std::string& text, Role role);
    void HLine(int col, int row, int length, Role role);
    void Frame(const CellRect& area, Role role);

    // The picture as plain characters, one line per row, trailing blanks kept.
    std::string Row(int row) const;
    std::string ToText() const;

  private:
    int cols_;
    int rows_;
    std::vector<Cell> cells_;
};

// The plain character that stands for a cell where there is no line drawing.
char PlainCharacter(const Cell& cell);

}  // namespace terminal
