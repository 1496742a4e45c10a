#pragma once
// Draws a top-level window of the own layer and its controls from their state, in the classic
// look and at their pixel rectangles, as the platform's own drawing shows them.

#include <vector>

#include "desktop/font.h"
#include "desktop/pixels.h"
#include "platform/own/headless.h"

namespace desktop {

// The windows that one top-level window shows: it first, then its descendants in the order
// headless::Windows() lists them.
struct TopLevel {
    headless::WindowInfo window;
    std::vector<headless::WindowInfo> descendants;
};

// The visible top-level windows, top first.
std::vector<TopLevel> VisibleTopLevels();

// The whole window, in window coordinates: frame, caption, client area and every control.
Pixels Paint(const TopLevel& top, const Font& font);

}  // namespace desktop
