// The tab control ("SysTabControl32"), single row: items with texts, one selected. A click on an
// item or an arrow key asks the parent (TCN_SELCHANGING, which may refuse by returning TRUE),
// selects, and tells it (TCN_SELCHANGE); selecting from code (TCM_SETCURSEL) tells nobody.
//
// As the platform's control does, each item keeps a "pressed" mark that only TCM_SETCURSEL and
// clicks move; the arrow keys change the selection without it. While an item other than the
// selected one keeps the mark, a click on another item tells the parent of a change but selects
// nothing: after the arrows have moved the selection, clicks select again only once TCM_SETCURSEL
// (or a click on the marked item) has put the mark back on the selection.
#include <algorithm>

#include "platform/own/controls.h"
#include "platform/own/font.h"
#include "platform/own/headless.h"
#include "platform/own/window.h"
#include "platform/own/window_class.h"

namespace own {
namespace {

constexpr int kItemOffset = 2;  // the first item's distance from the control's edge
constexpr int kTabHeight = kFontHeight + 2 + 3;  // the font, two lines and the padding
constexpr int kPaddingX = 6;
constexpr int kMinTabWidth = 54;

// Lays the items out side by side along the top, as wide as their texts in the dialog font with
// the padding, and never narrower than the minimum.
void LayOut(TabInfo* info) {
    LONG left = kItemOffset;
    for (TabItem& item : info->items) {
        LONG width = std::max<LONG>(kMinTabWidth, TextWidth(item.text) + 2 * kPaddingX);
        item.rect = RECT{left, kItemOffset, left + width, kItemOffset + kTabHeight};
        left += width;
    }
}

int HitItem(const TabInfo* info, POINT p) {
    for (std::size_t i = 0; i < info->items.size(); ++i) {
        if (PtInRect(&info->items[i].rect, p))
            return static_cast<int>(i);
    }
    return -1;
}

// Selects an item and moves the pressed mark to it, as TCM_SETCURSEL does.
void SelectPressed(TabInfo* info, int item) {
    if (item == info->selected)
        return;
    if (info->selected >= 0)
        info->items[static_cast<std::size_t>(info->selected)].pressed = false;
    info->items[static_cast<std::size_t>(item)].pressed = true;
    info->selected = item;
    info->focusItem = item;
    InvalidateRect(info->self, nullptr, TRUE);
}

bool PressedElsewhere(const TabInfo* info) {
    for (std::size_t i = 0; i < info->items.size(); ++i) {
        if (info->items[i].pressed && static_cast<int>(i) != info->selected)
            return true;
    }
    return false;
}

// A click on an item: the parent may refuse the change; a pressed mark left elsewhere makes the
// click select nothing, though the parent is told of a change all the same.
void ClickSelect(TabInfo* info, int item) {
    bool stuck = PressedElsewhere(info);
    if (Notify(info, TCN_SELCHANGING) || info->destroyed)
        return;
    if (!stuck && item < static_cast<int>(info->items.size()))
        SelectPressed(info, item);
    Notify(info, TCN_SELCHANGE);
}

// An arrow key: the focus item and the selection move together, the pressed mark stays; a parent
// that refuses is told nothing more, but the selection moves anyway. Without a focus item before,
// only the focus item is set.
void KeySelect(TabInfo* info, int item) {
    int oldFocus = info->focusItem;
    if (item == info->selected && oldFocus != -1)
        return;
    info->focusItem = item;
    if (oldFocus == -1)
        return;
    bool refused = Notify(info, TCN_SELCHANGING) != 0;
    if (info->destroyed || item >= static_cast<int>(info->items.size()))
        return;
    info->selected = item;
    if (!refused)
        Notify(info, TCN_SELCHANGE);
    if (!info->destroyed)
        InvalidateRect(info->self, nullptr, TRUE);
}

LRESULT InsertItem(TabInfo* info, WPARAM wParam, LPARAM lParam) {
    const auto* ti = reinterpret_cast<const TCITEMA*>(lParam);
    int index = static_cast<int>(wParam);
    if (!ti || index < 0)
        return -1;
    index = std::min(index, static_cast<int>(info->items.size()));
    std::string text = (ti->mask & TCIF_TEXT) && ti->pszText ? ti->pszText : "";
    info->items.insert(info->items.begin() + index, TabItem{text, RECT{}, false});
    LayOut(info);
    // The first item becomes the selection, as with the platform's control.
    if (info->items.size() == 1)
        info->selected = 0;
    InvalidateRect(info->self, nullptr, TRUE);
    return index;
}

LRESULT SetCurSel(TabInfo* info, WPARAM wParam) {
    int previous = info->selected;
    int item = static_cast<int>(wParam);
    if (item < 0) {
        if (previous >= 0)
            info->items[static_cast<std::size_t>(previous)].pressed = false;
        info->selected = -1;
        info->focusItem = -1;
    } else if (item >= static_cast<int>(info->items.size())) {
        return -1;
    } else {
        SelectPressed(info, item);
    }
    return previous;
}

LRESULT LButtonDown(TabInfo* info, LPARAM lParam) {
    SetFocus(info->self);
    if (info->destroyed)
        return 0;
    int item = HitItem(info, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (item != -1 && item != info->selected)
        ClickSelect(info, item);
    return 0;
}

LRESULT KeyDown(TabInfo* info, WPARAM key) {
    int item = -1;
    if (key == VK_LEFT)
        item = info->focusItem - 1;
    if (key == VK_RIGHT)
        item = info->focusItem + 1;
    if (item >= 0 && item < static_cast<int>(info->items.size()) && item != info->focusItem)
        KeySelect(info, item);
    return 0;
}

// Only the items take the mouse; elsewhere the click goes to what lies beneath.
LRESULT HitTest(const TabInfo* info, LPARAM lParam) {
    RECT client = ScreenClientRect(info->self);
    POINT p{GET_X_LPARAM(lParam) - client.left, GET_Y_LPARAM(lParam) - client.top};
    return HitItem(info, p) == -1 ? HTTRANSPARENT : HTCLIENT;
}

}  // namespace

LRESULT TabInfo::Handle(TabInfo* info, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case TCM_INSERTITEMA:
            return InsertItem(info, wParam, lParam);
        case TCM_GETCURSEL:
            return info->selected;
        case TCM_SETCURSEL:
            return SetCurSel(info, wParam);
        case WM_NCHITTEST:
            return HitTest(info, lParam);
        case WM_LBUTTONDOWN:
            return LButtonDown(info, lParam);
        case WM_LBUTTONUP:
            Notify(info, NM_CLICK);
            return 0;
        case WM_KEYDOWN:
            return KeyDown(info, wParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(info->self, nullptr, TRUE);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        default:
            return DefControlProc<TabInfo>(info->self, message, wParam, lParam);
    }
}

void RegisterTabClass() {
    RegisterSystemClass(WC_TABCONTROLA, 0, ControlProc<TabInfo>, 0,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

}  // namespace own

const own::TabInfo* headless::Tabs(HWND tab) {
    return own::StateOf<own::TabInfo>(tab);
}
