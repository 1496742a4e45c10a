#pragma once
// Draws a top-level window of the own layer and its controls from their state, in the classic
// look and at their pixel rectangles, as the platform's own drawing shows them.

#include "desktop/font.h"
#include "desktop/pixels.h"
#include "platform/own/headless.h"

namespace desktop {

// The whole window, in window coordinates: frame, caption, client area and every control.
Pixels Paint(const headless::TopLevel& top, const Font& font);

}  // namespace desktop
