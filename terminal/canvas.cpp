// The cell grid and its drawing calls; everything clips, so a window partly off the grid is safe.
#include "terminal/canvas.h"

#include <algorithm>

namespace terminal {

Canvas::Canvas(int cols, int rows)
    : cols_(std::max(cols, 0)),
      rows_(std::max(rows, 0)),
      cells_(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_)) {}

const Cell& Canvas::At(int col, int row) const {
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) +
                  static_cast<std::size_t>(col)];
}

void Canvas::Fill(const CellRect& area, Role role) {
    for (int row = std::max(area.top, 0); row < std::min(area.bottom, rows_); ++row) {
        for (int col = std::max(area.left, 0); col < std::min(area.right, cols_); ++col) {
            cells_[static_cast<std::size_t>(row * cols_ + col)] = Cell{' ', Glyph::kChar, role};
        }
    }
}

void Canvas::Put(int col, int row, Glyph glyph, Role role) {
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_)
        return;
    Cell& cell = cells_[static_cast<std::size_t>(row * cols_ + col)];
    cell.glyph = glyph;
    cell.role = role;
}

int Canvas::Text(int col, int row, const std::string& text, Role role, int limit) {
    for (char ch : text) {
        if (col >= limit)
            break;
        if (col >= 0 && col < cols_ && row >= 0 && row < rows_) {
            // Control characters would move the terminal's cursor.
            unsigned char byte = static_cast<unsigned char>(ch);
            cells_[static_cast<std::size_t>(row * cols_ + col)] =
                Cell{byte < 0x20 || byte == 0x7F ? '?' : ch, Glyph::kChar, role};
        }
        ++col;
    }
    return col;
}

int Canvas::TextCentred(const CellRect& area, int row, const std::string& text, Role role) {
    int length = static_cast<int>(text.size());
    int col = area.left + std::max(0, (area.width() - length) / 2);
    Text(col, row, text, role, area.right);
    return col;
}

void Canvas::HLine(int col, int row, int length, Role role) {
    for (int i = 0; i < length; ++i)
        Put(col + i, row, Glyph::kHLine, role);
}

void Canvas::Frame(const CellRect& area, Role role) {
    if (area.width() < 2 || area.height() < 2)
        return;
    int right = area.right - 1, bottom = area.bottom - 1;
    HLine(area.left + 1, area.top, area.width() - 2, role);
    HLine(area.left + 1, bottom, area.width() - 2, role);
    for (int row = area.top + 1; row < bottom; ++row) {
        Put(area.left, row, Glyph::kVLine, role);
        Put(right, row, Glyph::kVLine, role);
    }
    Put(area.left, area.top, Glyph::kTopLeft, role);
    Put(right, area.top, Glyph::kTopRight, role);
    Put(area.left, bottom, Glyph::kBottomLeft, role);
    Put(right, bottom, Glyph::kBottomRight, role);
}

std::string Canvas::Row(int row) const {
    std::string line;
    for (int col = 0; col < cols_; ++col)
        line += PlainCharacter(At(col, row));
    return line;
}

std::string Canvas::ToText() const {
    std::string text;
    for (int row = 0; row < rows_; ++row)
        text += Row(row) + "\n";
    return text;
}

char PlainCharacter(const Cell& cell) {
    switch (cell.glyph) {
        case Glyph::kChar:
            return cell.ch;
        case Glyph::kHLine:
            return '-';
        case Glyph::kVLine:
            return '|';
        case Glyph::kTopLeft:
        case Glyph::kTopRight:
        case Glyph::kBottomLeft:
        case Glyph::kBottomRight:
        case Glyph::kTick:
            return '+';
        case Glyph::kThumb:
            return '#';
    }
    return '?';
}

}  // namespace terminal
