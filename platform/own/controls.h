#pragma once
// The common controls' and buttons' state: one record per control, owned by its window's record
// and changed only by the control's procedure. The headless driver hands it out to be read in
// place (headless.h), so reading sends no message. Below the records, what the controls'
// procedures share.

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/own/win32.h"

namespace own {

// Rectangles are in the control's client pixels.
struct TrackbarInfo {
    static constexpr const char* kClassName = TRACKBAR_CLASSA;
    static constexpr UINT kFirstMessage = TBM_GETPOS;
    static constexpr UINT kLastMessage = WM_USER + 63;

    TrackbarInfo(HWND hwnd, const CREATESTRUCTA* cs);
    static LRESULT Handle(TrackbarInfo* info, UINT message, WPARAM wParam, LPARAM lParam);

    HWND self;
    bool destroyed = false;  // the window went during a message: its handler stops there
    HWND notify;
    LONG min = 0, max = 100, line = 1, page = 20, pos = 0;
    UINT thumbLength = 21;
    RECT channel{}, thumb{};
    bool dragging = false;
    int autoPage = 0;  // -1 or +1 while a press in the channel pages
};

struct TabItem {
    std::string text;
    RECT rect;     // side by side along the top, laid out when the item is inserted
    bool pressed;  // the platform's mark of the selected item; see tab.cpp
};

struct TabInfo {
    static constexpr const char* kClassName = WC_TABCONTROLA;
    static constexpr UINT kFirstMessage = TCM_FIRST;
    static constexpr UINT kLastMessage = TCM_FIRST + 0xFF;

    TabInfo(HWND hwnd, const CREATESTRUCTA* cs) : self(hwnd), notify(cs->hwndParent) {}
    static LRESULT Handle(TabInfo* info, UINT message, WPARAM wParam, LPARAM lParam);

    HWND self;
    bool destroyed = false;
    HWND notify;
    std::vector<TabItem> items;
    int selected = -1;
    int focusItem = -1;
};

struct ButtonInfo {
    static constexpr const char* kClassName = "Button";
    static constexpr UINT kFirstMessage = BM_GETCHECK;
    static constexpr UINT kLastMessage = 0x00F8;  // BM_SETDONTCLICK

    ButtonInfo(HWND hwnd, const CREATESTRUCTA*) : self(hwnd) {}
    static LRESULT Handle(ButtonInfo* info, UINT message, WPARAM wParam, LPARAM lParam);

    HWND self;
    bool destroyed = false;
    WPARAM check = BST_UNCHECKED;
    bool pushed = false;   // drawn pressed (BM_SETSTATE)
    bool pressed = false;  // a press by mouse or space bar is in progress
};

// The position that a drag of the thumb to this client x gives, as the trackbar computes it.
LONG TrackbarPositionAt(HWND hwnd, int clientX);

// The slot in a window's record that owns the state of a control of the class with that
// procedure; null for any other window.
std::shared_ptr<void>* ControlStateSlot(HWND hwnd, WNDPROC proc);

// Tells the control's parent of an event through WM_NOTIFY.
template <typename State>
LRESULT Notify(const State* info, UINT code) {
    NMHDR header{info->self, static_cast<UINT_PTR>(GetDlgCtrlID(info->self)), code};
    return SendMessageA(info->notify, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

// Paints a control that draws nothing itself: the parent chooses its colours (WM_CTLCOLORBTN or
// WM_CTLCOLORSTATIC) and the front ends draw it.
inline LRESULT PaintWithParentColours(HWND hwnd, UINT colourMessage) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    SendMessageA(GetParent(hwnd), colourMessage, reinterpret_cast<WPARAM>(hdc),
                 reinterpret_cast<LPARAM>(hwnd));
    EndPaint(hwnd, &ps);
    return 0;
}

// The procedure of the control class whose state is State: the state is made on WM_CREATE and
// leaves the window on WM_NCDESTROY; in between, State::Handle gets every message with it. The
// procedure holds the state for the whole message, so a handler whose window is destroyed during
// a send still reads it, sees `destroyed` and stops.
template <typename State>
LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<void>* slot = ControlStateSlot(hwnd, ControlProc<State>);
    if (slot && message == WM_CREATE) {
        *slot = std::make_shared<State>(hwnd, reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return 0;
    }
    std::shared_ptr<State> state = slot ? std::static_pointer_cast<State>(*slot) : nullptr;
    if (state && message == WM_NCDESTROY) {
        state->destroyed = true;
        slot->reset();
    }
    if (!state || state->destroyed)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return State::Handle(state.get(), message, wParam, lParam);
}

// The state of a live control of State's class; null for any other window.
template <typename State>
State* StateOf(HWND hwnd) {
    std::shared_ptr<void>* slot = ControlStateSlot(hwnd, ControlProc<State>);
    return slot ? static_cast<State*>(slot->get()) : nullptr;
}

// What a control leaves to the default procedure. A message of the class's own range is one that
// the layer does not implement: debug builds say so on stderr, once per message number, so that
// gaps in the subset show.
template <typename Class>
LRESULT DefControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
#ifndef NDEBUG
    static std::set<UINT> reported;
    if (message >= Class::kFirstMessage && message <= Class::kLastMessage &&
        reported.insert(message).second) {
        std::fprintf(stderr, "own Win32 layer: %s does not implement message 0x%04X\n",
                     Class::kClassName, message);
    }
#endif
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace own
