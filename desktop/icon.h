#pragma once
// The platform's default application icon (IDI_APPLICATION), the one that the program's window
// class names, since the program has no icon of its own. The caption shows it at 16 x 16, the
// window manager gets it at 32 x 32.

#include <cstdint>
#include <vector>

#include "desktop/pixels.h"

namespace desktop {

inline constexpr int kIconSize = 32;

// The icon's 32 x 32 pixels, rows top first, as 0xAARRGGBB without premultiplied alpha.
const std::vector<std::uint32_t>& ApplicationIcon();

// Draws the icon at 16 x 16 with its top left at (x, y), over what the picture holds there: every
// other pixel of the large one, as the platform's stretch to the small size takes them.
void DrawSmallIcon(Pixels* pixels, int x, int y);

}  // namespace desktop
