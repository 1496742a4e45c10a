#pragma once
// The common controls' and buttons' state: one record per control, kept behind its window as the
// platform's controls keep theirs and changed only by the control's procedure. The headless driver
// hands it out to be read in place (headless.h), so reading sends no message.

#include <string>
#include <vector>

#include "platform/own/win32.h"

namespace own {

// Rectangles are in the control's client pixels.
struct TrackbarInfo {
    HWND self;
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
    HWND self;
    HWND notify;
    std::vector<TabItem> items;
    int selected = -1;
    int focusItem = -1;
};

struct ButtonInfo {
    HWND self;
    WPARAM check = BST_UNCHECKED;
    bool pushed = false;   // drawn pressed (BM_SETSTATE)
    bool pressed = false;  // a press by mouse or space bar is in progress
};

// The position that a drag of the thumb to this client x gives, as the trackbar computes it.
LONG TrackbarPositionAt(HWND hwnd, int clientX);

// A control got a message of its class's own range that the layer does not implement. Debug builds
// say so on stderr, once per message number, so that gaps in the subset show; the message then
// goes to the default procedure, as anything else would.
#ifdef NDEBUG
inline void ReportUnimplemented(const char*, UINT) {}
#else
void ReportUnimplemented(const char* className, UINT message);
#endif

}  // namespace own
