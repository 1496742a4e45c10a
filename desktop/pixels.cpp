#include "desktop/pixels.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace desktop {

Pixels::Pixels(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      clip_{0, 0, width_, height_},
      data_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

Pixels::~Pixels() = default;

Colour Pixels::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return data_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
}

Pixels Pixels::Scaled(int factor) const {
    if (factor <= 1)
        return *this;
    Pixels out(width_ * factor, height_ * factor);
    auto to = out.data_.begin();
    for (int y = 0; y < height_; ++y) {
        auto from = data_.begin() + static_cast<std::ptrdiff_t>(y) * width_;
        auto rowStart = to;
        for (int x = 0; x < width_; ++x, ++from)
            to = std::fill_n(to, factor, *from);
        for (int copy = 1; copy < factor; ++copy)
            to = std::copy(rowStart, rowStart + out.width_, to);
    }
    return out;
}

void Pixels::Clip(const RECT& rect) {
    clip_ = RECT{std::max(rect.left, LONG{0}), std::max(rect.top, LONG{0}),
                 std::min(rect.right, static_cast<LONG>(width_)),
                 std::min(rect.bottom, static_cast<LONG>(height_))};
}

void Pixels::Put(int x, int y, Colour colour) {
    if (x < clip_.left || y < clip_.top || x >= clip_.right || y >= clip_.bottom)
        return;
    data_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
          static_cast<std::size_t>(x)] = colour;
}

void Pixels::Fill(const RECT& rect, Colour colour) {
    int left = static_cast<int>(std::max(rect.left, clip_.left));
    int right = static_cast<int>(std::min(rect.right, clip_.right));
    int top = static_cast<int>(std::max(rect.top, clip_.top));
    int bottom = static_cast<int>(std::min(rect.bottom, clip_.bottom));
    for (int y = top; y < bottom; ++y) {
        auto row = data_.begin() + static_cast<std::ptrdiff_t>(y) * width_;
        std::fill(row + left, row + std::max(left, right), colour);
    }
}

void Pixels::HLine(int left, int right, int y, Colour colour) {
    Fill(RECT{left, y, right, y + 1}, colour);
}

void Pixels::VLine(int x, int top, int bottom, Colour colour) {
    Fill(RECT{x, top, x + 1, bottom}, colour);
}

void Pixels::Edge(const RECT& r, Colour topLeft, Colour bottomRight) {
    int left = r.left, top = r.top, right = r.right, bottom = r.bottom;
    HLine(left, right - 1, top, topLeft);
    VLine(left, top, bottom - 1, topLeft);
    HLine(left, right, bottom - 1, bottomRight);
    VLine(right - 1, top, bottom, bottomRight);
}

Font::~Font() = default;

bool Font::Load(const char* path, int pixelHeight, std::string* error) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        *error = "cannot start FreeType";
        return false;
    }
    // A .fon file holds one face per strike.
    bool found = false;
    for (FT_Long index = 0; !found; ++index) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, path, index, &face) != 0)
            break;
        FT_Long faces = face->num_faces;
        for (int s = 0; s < face->num_fixed_sizes && !found; ++s) {
            if (face->available_sizes[s].height != pixelHeight || FT_Select_Size(face, s) != 0)
                continue;
            found = true;
            // A .fon face's one character map is not selected by itself; without it a character
            // code would be taken for a glyph index.
            if (!face->charmap && face->num_charmaps > 0)
                FT_Set_Charmap(face, face->charmaps[0]);
            height_ = pixelHeight;
            ascent_ = static_cast<int>(face->size->metrics.ascender >> 6);
            for (int code = 0; code < 256; ++code) {
                if (FT_Load_Char(face, static_cast<FT_ULong>(code),
                                 FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
                    continue;
                const FT_GlyphSlot slot = face->glyph;
                const FT_Bitmap& bitmap = slot->bitmap;
                Glyph& g = glyphs_[code];
                g.advance = static_cast<int>(slot->advance.x >> 6);
                g.left = slot->bitmap_left;
                g.top = slot->bitmap_top;
                g.width = static_cast<int>(bitmap.width);
                g.rows = static_cast<int>(bitmap.rows);
                g.ink.assign(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.rows),
                             false);
                for (int y = 0; y < g.rows; ++y) {
                    const unsigned char* row = bitmap.buffer + y * bitmap.pitch;
                    for (int x = 0; x < g.width; ++x) {
                        bool on = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                      ? (row[x / 8] & (0x80 >> (x % 8))) != 0
                                      : row[x] >= 128;
                        g.ink[static_cast<std::size_t>(y * g.width + x)] = on;
                    }
                }
            }
        }
        FT_Done_Face(face);
        if (index + 1 >= faces)
            break;
    }
    FT_Done_FreeType(library);
    if (!found)
        *error = std::string("no ") + std::to_string(pixelHeight) + "-pixel font in " + path;
    return found;
}

int Font::Width(const std::string& text, bool bold) const {
    int width = 0;
    for (unsigned char c : text)
        width += glyphs_[c].advance;
    return width + (bold && !text.empty() ? 1 : 0);
}

void Font::Draw(Pixels* pixels, int x, int y, const std::string& text, Colour colour,
                bool bold) const {
    int baseline = y + ascent_;
    for (unsigned char c : text) {
        const Glyph& g = glyphs_[c];
        for (int row = 0; row < g.rows; ++row) {
            for (int col = 0; col < g.width; ++col) {
                if (!g.ink[static_cast<std::size_t>(row * g.width + col)])
                    continue;
                pixels->Put(x + g.left + col, baseline - g.top + row, colour);
                if (bold)
                    pixels->Put(x + g.left + col + 1, baseline - g.top + row, colour);
            }
        }
        x += g.advance;
    }
}

}  // namespace desktop
