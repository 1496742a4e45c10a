#pragma once
// The dialog's bitmap font, read from its .fon file and drawn into a picture.

#include <string>

#include "desktop/pixels.h"

namespace desktop {

// The bitmap font that the dialog's "MS Sans Serif" 8 points is drawn in.
inline constexpr const char* kFontPath = "/usr/share/wine/fonts/sserife.fon";

// One strike of a Windows bitmap font (.fon), 8-bit character codes.
class Font {
  public:
    virtual ~Font();
    // Loads the strike of the given pixel height; false with the reason in *error.
    bool Load(const char* path, int pixelHeight, std::string* error);

    int Height() const { return height_; }
    int Width(const std::string& text, bool bold = false) const;
    // Draws text with its cell's top at y; bold doubles each stroke one pixel to the right.
    void Draw(Pixels* pixels, int x, int y, const std::string& text, Colour colour,
              bool bold = false) const;

  private:
    struct Glyph {
        int width = 0;         // also its advance: a glyph fills its cell
        std::size_t bits = 0;  // where its bits start in file_
    };
    // The .fon file, in which each glyph's bits stand in columns eight pixels wide, one byte a row.
    std::string file_;
    Glyph glyphs_[256];
    int height_ = 0;
};

}  // namespace desktop
