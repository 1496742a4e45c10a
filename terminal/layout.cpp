// Columns by scale, rows by the heights that the controls need (see layout.h).
#include "terminal/layout.h"

#include <algorithm>

namespace terminal {
namespace {

// Pixels per column, as a fraction: four fifths of the 6-pixel average character width.
constexpr long kColumnPixelsNum = 24;
constexpr long kColumnPixelsDen = 5;
// Heights closer than this share a row; a gap wider than kGap gets a blank row.
constexpr long kShare = 7;
constexpr long kGap = 28;

long Middle(const RECT& r) {
    return (r.top + r.bottom) / 2;
}

int LineCount(const std::string& text) {
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// The heights at which a control needs a row of its own, in screen pixels.
std::vector<long> RowHeightsOf(const headless::WindowInfo& control) {
    const RECT& r = control.rect;
    headless::Kind kind = headless::KindOf(control);
    if (kind == headless::Kind::kGroupBox)
        return {r.top, r.bottom - 1};
    if (kind == headless::Kind::kTabs) {
        const own::TabInfo* tabs = headless::Tabs(control.hwnd);
        if (tabs && !tabs->items.empty()) {
            RECT item = headless::OnScreen(control, tabs->items.front().rect);
            return {Middle(item), item.bottom, r.bottom - 1};
        }
        return {r.top, r.bottom - 1};
    }
    if (kind == headless::Kind::kStatic && LineCount(control.text) > 1) {
        std::vector<long> lines;
        for (int i = 0; i < LineCount(control.text); ++i) {
            lines.push_back(r.top + i * headless::kBaseUnitY + headless::kBaseUnitY / 2);
        }
        return lines;
    }
    return {Middle(r)};
}

}  // namespace

Layout::Layout(const headless::WindowInfo& window,
               const std::vector<headless::WindowInfo>& descendants)
    : rect_(window.rect) {
    long width = rect_.right - rect_.left;
    cols_ = static_cast<int>((width * kColumnPixelsDen + kColumnPixelsNum - 1) / kColumnPixelsNum);
    std::vector<long> heights;
    // The caption row is also the top edge; a window without one has a row for its top edge.
    bool caption = (window.style & WS_CAPTION) == WS_CAPTION;
    heights.push_back(caption ? (window.rect.top + window.client.top) / 2 : rect_.top);
    for (const headless::WindowInfo& control : descendants) {
        for (long y : RowHeightsOf(control))
            heights.push_back(y);
    }
    heights.push_back(rect_.bottom - 1);
    AddBands(std::move(heights), descendants);
}

void Layout::AddBands(std::vector<long> heights,
                      const std::vector<headless::WindowInfo>& descendants) {
    std::sort(heights.begin(), heights.end());
    // A wide gap between controls gets a blank row; one inside a control (a group box around
    // its slider) does not, so that the dialog keeps to a terminal's 24 rows.
    auto within = [&descendants](long top, long bottom) {
        return std::any_of(descendants.begin(), descendants.end(), [&](const auto& w) {
            return w.rect.top <= top && w.rect.bottom > bottom;
        });
    };
    int row = -1;
    for (long y : heights) {
        if (!bands_.empty() && y - bands_.back().low < kShare) {
            bands_.back().high = y;
            continue;
        }
        if (!bands_.empty() && y - bands_.back().high > kGap && !within(bands_.back().high, y)) {
            ++row;
        }
        bands_.push_back(Band{y, y, ++row});
    }
    rows_ = row + 1;
}

void Layout::MoveTo(int col, int row) {
    col_ = col;
    row_ = row;
}

int Layout::Column(long x) const {
    long offset = x - rect_.left;
    // Division that rounds down also left of the window.
    long col = offset >= 0
                   ? offset * kColumnPixelsDen / kColumnPixelsNum
                   : -((-offset * kColumnPixelsDen + kColumnPixelsNum - 1) / kColumnPixelsNum);
    return col_ + static_cast<int>(col);
}

int Layout::Row(long y) const {
    const Band* best = &bands_.front();
    long bestDistance = -1;
    for (const Band& band : bands_) {
        long distance = y < band.low ? band.low - y : y > band.high ? y - band.high : 0;
        if (bestDistance < 0 || distance < bestDistance) {
            best = &band;
            bestDistance = distance;
        }
    }
    return row_ + best->row;
}

CellRect Layout::Cells(const RECT& r) const {
    return CellRect{Column(r.left), Row(r.top), Column(r.right - 1) + 1, Row(r.bottom - 1) + 1};
}

POINT Layout::PointAt(int col, int row) const {
    long x = rect_.left +
             ((col - col_) * kColumnPixelsNum * 2 + kColumnPixelsNum) / (2 * kColumnPixelsDen);
    int relative = row - row_;
    long y = 0;
    auto at = std::find_if(bands_.begin(), bands_.end(),
                           [relative](const Band& b) { return b.row >= relative; });
    if (at != bands_.end() && at->row == relative) {
        y = BandMiddle(*at);
    } else if (at == bands_.end()) {
        y = BandMiddle(bands_.back()) + (relative - bands_.back().row) * headless::kBaseUnitY;
    } else if (at == bands_.begin()) {
        y = BandMiddle(*at) - (at->row - relative) * headless::kBaseUnitY;
    } else {
        // A blank row: halfway between its neighbours.
        y = (BandMiddle(*(at - 1)) + BandMiddle(*at)) / 2;
    }
    return POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
}

}  // namespace terminal
