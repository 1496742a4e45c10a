#pragma once
// The metrics of the dialog font that the layer lays text out with: MS Sans Serif 8 points at
// 96 DPI, as the platform's bitmap strike measures it.

#include <string>

namespace own {

constexpr int kFontHeight = 13;

// The width in pixels of a line of text in the dialog font.
int TextWidth(const std::string& text);

}  // namespace own
