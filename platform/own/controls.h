#pragma once
// Inside the own layer: the control classes' state, as the headless driver reads it without
// sending messages (so that reading never shows up among recorded messages).

#include <string>
#include <vector>

#include "platform/own/win32.h"

namespace own {

struct TrackbarSnapshot {
    LONG min, max, page, line, pos;
    RECT channel;  // client pixels
    RECT thumb;    // client pixels
    bool dragging;
};
bool GetTrackbarSnapshot(HWND hwnd, TrackbarSnapshot* out);
// The position that a drag of the thumb to this client x gives, as the control computes it.
LONG TrackbarPositionAt(HWND hwnd, int clientX);

struct TabSnapshot {
    std::vector<std::string> items;
    std::vector<RECT> rects;  // client pixels
    int selected;
};
bool GetTabSnapshot(HWND hwnd, TabSnapshot* out);

struct ButtonSnapshot {
    DWORD type;
    WPARAM check;
    bool pushed;
};
bool GetButtonSnapshot(HWND hwnd, ButtonSnapshot* out);

// A control got a message of its class's own range that the layer does not implement. Debug builds
// say so on stderr, once per message number, so that gaps in the subset show; the message then
// goes to the default procedure, as anything else would.
#ifdef NDEBUG
inline void ReportUnimplemented(const char*, UINT) {}
#else
void ReportUnimplemented(const char* className, UINT message);
#endif

}  // namespace own
