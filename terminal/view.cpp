// Draws the windows of the own layer from their state onto cells, in the order of headless::Paint.
// Message boxes stand over the dialog, centred, as a person expects.
#include "terminal/view.h"

#include <algorithm>

namespace terminal {
namespace {

using headless::Centre;
using headless::WindowInfo;

class CellPainter : public headless::Painter {
  public:
    CellPainter(Picture* picture, Placed* placed)
        : canvas_(picture->canvas), picture_(*picture), placed_(*placed) {}

    void Frame(const WindowInfo& w) override {
        CellRect bounds = placed_.layout.Bounds();
        canvas_.Fill(bounds, Role::kFace);
        canvas_.Frame(bounds, Role::kFace);
        if ((w.style & WS_CAPTION) != WS_CAPTION)
            return;
        Role role = w.active ? Role::kCaption : Role::kCaptionInactive;
        canvas_.Fill(CellRect{bounds.left, bounds.top, bounds.right, bounds.top + 1}, role);
        int closeLeft = bounds.right - 4;
        canvas_.Text(bounds.left + 1, bounds.top, headless::WithoutMnemonics(w.text), role,
                     closeLeft - 1);
        if (w.closeBox.right > w.closeBox.left) {
            canvas_.Text(closeLeft, bounds.top, "[X]", role, bounds.right);
            for (int col = closeLeft; col < closeLeft + 3; ++col) {
                placed_.spots.push_back({col, bounds.top, Centre(w.closeBox)});
            }
        }
    }

    void GroupBox(const WindowInfo& w) override {
        CellRect cells = layout().Cells(w.rect);
        canvas_.Frame(cells, Role::kFace);
        std::string title = headless::WithoutMnemonics(w.text);
        if (!title.empty()) {
            canvas_.Text(cells.left + 1, cells.top, " " + title + " ", Role::kFace,
                         cells.right - 1);
        }
    }

    void PushButton(const WindowInfo& w) override {
        const own::ButtonInfo* state = headless::Button(w.hwnd);
        CellRect cells = layout().Cells(w.rect);
        int row = layout().Row(Centre(w.rect).y);
        Role role = state && state->pushed ? Role::kSelected
                    : w.focused            ? Role::kFocus
                                           : Role::kFace;
        canvas_.Fill(CellRect{cells.left, row, cells.right, row + 1}, role);
        canvas_.Text(cells.left, row, "[", role, cells.right);
        canvas_.Text(cells.right - 1, row, "]", role, cells.right);
        CellRect inside{cells.left + 1, row, cells.right - 1, row + 1};
        Aim(w, canvas_.TextCentred(inside, row, headless::WithoutMnemonics(w.text), role), row);
    }

    void CheckBox(const WindowInfo& w) override {
        const own::ButtonInfo* state = headless::Button(w.hwnd);
        CellRect cells = layout().Cells(w.rect);
        int row = layout().Row(Centre(w.rect).y);
        bool checked = state && state->check == BST_CHECKED;
        int col =
            canvas_.Text(cells.left, row, checked ? "[x] " : "[ ] ", Role::kFace, cells.right);
        canvas_.Text(col, row, headless::WithoutMnemonics(w.text),
                     w.focused ? Role::kFocus : Role::kFace, cells.right);
        Aim(w, cells.left + 1, row);  // on the mark
    }

    void Static(const WindowInfo& w) override {
        CellRect cells = layout().Cells(w.rect);
        std::vector<std::string> lines = headless::TextLines(w.text);
        DWORD align = w.style & 0x3;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            int row = lines.size() == 1
                          ? layout().Row(Centre(w.rect).y)
                          : layout().Row(w.rect.top + static_cast<LONG>(i) * headless::kBaseUnitY +
                                         headless::kBaseUnitY / 2);
            int length = static_cast<int>(lines[i].size());
            int col = align == SS_CENTER  ? cells.left + std::max(0, (cells.width() - length) / 2)
                      : align == SS_RIGHT ? std::max(cells.left, cells.right - length)
                                          : cells.left;
            canvas_.Text(col, row, lines[i], Role::kFace, cells.right);
        }
    }

    void Slider(const WindowInfo& w) override {
        const own::TrackbarInfo* state = headless::Trackbar(w.hwnd);
        if (!state)
            return;
        RECT channelRect = headless::OnScreen(w, state->channel);
        POINT thumbCentre = Centre(headless::OnScreen(w, state->thumb));
        int row = layout().Row(thumbCentre.y);
        int left = layout().Column(channelRect.left);
        int right = layout().Column(channelRect.right - 1);
        // The focus marks the channel: a marked thumb would vanish in reverse video.
        Role channel = w.focused ? Role::kFocus : Role::kFace;
        canvas_.HLine(left, row, right - left + 1, channel);
        // A tick per position, when there is room for them.
        if ((w.style & TBS_AUTOTICKS) && state->max - state->min <= right - left) {
            for (int pos = state->min; pos <= state->max; ++pos) {
                POINT point = headless::SliderPointFor(w.hwnd, pos);
                int col = layout().Column(point.x);
                canvas_.Put(col, row, Glyph::kTick, channel);
                placed_.spots.push_back({col, row, point});
            }
        }
        int thumb = layout().Column(thumbCentre.x);
        canvas_.Put(thumb, row, Glyph::kThumb, Role::kThumb);
        Aim(w, thumb, row);
        placed_.spots.push_back({thumb, row, thumbCentre});
    }

    void Tabs(const WindowInfo& w) override {
        const own::TabInfo* tabs = headless::Tabs(w.hwnd);
        if (!tabs || tabs->items.empty()) {
            canvas_.Frame(layout().Cells(w.rect), Role::kFace);
            return;
        }
        CellRect cells = layout().Cells(w.rect);
        RECT first = headless::OnScreen(w, tabs->items.front().rect);
        int itemsRow = layout().Row(Centre(first).y);
        int pageTop = layout().Row(first.bottom);
        canvas_.Frame(CellRect{cells.left, pageTop, cells.right, cells.bottom}, Role::kFace);
        for (std::size_t i = 0; i < tabs->items.size(); ++i) {
            RECT item = headless::OnScreen(w, tabs->items[i].rect);
            int left = layout().Column(item.left);
            int right = layout().Column(item.right);  // where the next item begins
            bool selected = static_cast<int>(i) == tabs->selected;
            canvas_.Put(left, itemsRow, Glyph::kVLine, Role::kFace);
            if (i + 1 == tabs->items.size())
                canvas_.Put(right, itemsRow, Glyph::kVLine, Role::kFace);
            std::string text = headless::WithoutMnemonics(tabs->items[i].text);
            Role role = Role::kFace;
            if (selected) {
                text = "[" + text + "]";
                role = w.focused ? Role::kFocus : Role::kSelected;
                // The selected tab opens onto the page below it.
                for (int col = left + 1; col < right; ++col) {
                    canvas_.Put(col, pageTop, Glyph::kChar, Role::kFace);
                }
                canvas_.Put(left, pageTop, Glyph::kBottomRight, Role::kFace);
                canvas_.Put(right, pageTop, Glyph::kBottomLeft, Role::kFace);
            }
            int col = canvas_.TextCentred(CellRect{left + 1, itemsRow, right, itemsRow + 1},
                                          itemsRow, text, role);
            if (selected)
                Aim(w, col + 1, itemsRow);  // the name's first letter, inside the brackets
        }
    }

  private:
    const Layout& layout() const { return placed_.layout; }
    // The cursor to the cell where the focused control is worked: only one control has the focus.
    void Aim(const WindowInfo& w, int col, int row) {
        if (w.focused) {
            picture_.cursorCol = col;
            picture_.cursorRow = row;
        }
    }

    Canvas& canvas_;
    Picture& picture_;
    Placed& placed_;
};

// The line of keys, for the dialog alone or with a message box open.
std::string KeysLine(bool boxOpen) {
    if (boxOpen)
        return " Enter/Esc OK   q close dialog";
    return " Tab/S-Tab focus  Arrows Home End PgUp PgDn move  Space/Enter press  q close";
}

void TooSmall(Picture* picture, int cols, int rows, int needCols, int needRows) {
    picture->tooSmall = true;
    picture->windows.clear();
    picture->canvas = Canvas(cols, rows);
    std::vector<std::string> lines = {
        "Terminal too small: " + std::to_string(cols) + " x " + std::to_string(rows) + ".",
        "AI Control Panel needs " + std::to_string(needCols) + " x " + std::to_string(needRows) +
            ".",
        "Enlarge it, or press q to close.",
    };
    int top = std::max(0, (rows - static_cast<int>(lines.size())) / 2);
    picture->cursorRow = top;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        picture->canvas.Text(0, top + static_cast<int>(i), lines[i], Role::kWarning, cols);
    }
}

}  // namespace

POINT Placed::PointAt(int col, int row) const {
    for (const Spot& spot : spots) {
        if (spot.col == col && spot.row == row)
            return spot.point;
    }
    return layout.PointAt(col, row);
}

const Placed* Picture::At(int col, int row) const {
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (it->layout.Bounds().Contains(col, row))
            return &*it;
    }
    return nullptr;
}

const Placed* Picture::Find(HWND top) const {
    for (const Placed& placed : windows) {
        if (placed.hwnd == top)
            return &placed;
    }
    return nullptr;
}

HWND MainWindow() {
    std::vector<headless::TopLevel> tops = headless::VisibleTopLevels();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (!headless::IsMessageBox(it->window.hwnd))
            return it->window.hwnd;
    }
    return nullptr;
}

Picture Render(int cols, int rows) {
    Picture picture;
    picture.canvas = Canvas(cols, rows);
    // Back to front, message boxes last: they stand over the dialog whatever the z-order.
    std::vector<headless::TopLevel> tops = headless::VisibleTopLevels();
    std::stable_partition(tops.begin(), tops.end(), [](const headless::TopLevel& top) {
        return !headless::IsMessageBox(top.window.hwnd);
    });

    int needCols = 0, needRows = 0;
    for (const headless::TopLevel& top : tops) {
        Placed placed{top.window.hwnd, Layout(top.window, top.descendants), {}};
        CellRect size = placed.layout.Bounds();
        // The dialog sets the size the terminal needs; a box too large for it is cut at the edges.
        if (!headless::IsMessageBox(top.window.hwnd)) {
            needCols = std::max(needCols, size.width());
            needRows = std::max(needRows, size.height() + 1);
        }
        // Centred above the line of keys.
        placed.layout.MoveTo(std::max(0, (cols - size.width()) / 2),
                             std::max(0, (rows - 1 - size.height()) / 2));
        picture.windows.push_back(std::move(placed));
    }
    if (cols < needCols || rows < needRows) {
        TooSmall(&picture, cols, rows, needCols, needRows);
        return picture;
    }
    for (std::size_t i = 0; i < tops.size(); ++i) {
        CellPainter painter(&picture, &picture.windows[i]);
        headless::Paint(tops[i], &painter);
    }
    picture.canvas.Fill(CellRect{0, rows - 1, cols, rows}, Role::kHelp);
    picture.canvas.Text(0, rows - 1, KeysLine(!headless::OpenBoxes().empty()), Role::kHelp, cols);
    return picture;
}

}  // namespace terminal
