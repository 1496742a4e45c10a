#include "desktop/pixels.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

void Pixels::FocusRect(const RECT& r, POINT origin) {
    auto invert = [this, origin](int x, int y) {
        if ((x - origin.x + y - origin.y) % 2 == 0)
            Put(x, y, At(x, y) ^ 0xFFFFFF);
    };
    for (int x = r.left; x < r.right; ++x) {
        invert(x, r.top);
        if (r.bottom - 1 > r.top)
            invert(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        invert(r.left, y);
        if (r.right - 1 > r.left)
            invert(r.right - 1, y);
    }
}

namespace {

bool ReadWhole(const char* path, std::string* bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    char buffer[8192];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes->append(buffer, n);
    bool read = !std::ferror(file);
    std::fclose(file);
    return read;
}

// The little-endian numbers at a file's byte offsets. Past its end they read as 0, and the file
// is marked as cut short.
class LittleEndian {
  public:
    explicit LittleEndian(const std::string& bytes) : bytes_(bytes) {}
    unsigned U8(std::size_t at) {
        if (at < bytes_.size())
            return static_cast<unsigned char>(bytes_[at]);
        cutShort_ = true;
        return 0;
    }
    unsigned U16(std::size_t at) { return U8(at) | U8(at + 1) << 8; }
    unsigned U32(std::size_t at) { return U16(at) | U16(at + 2) << 16; }
    bool CutShort() const { return cutShort_; }

  private:
    const std::string& bytes_;
    bool cutShort_ = false;
};

constexpr unsigned kFontResource = 0x8008;  // RT_FONT, as a resource table names it

}  // namespace

Font::~Font() = default;

// A .fon file is a 16-bit Windows program: an MZ header that points to an NE header, whose
// resource table lists the font resources. Each is one strike in the FNT format: a header, then
// each character's width and the offset of its bits. A character that the strike lacks is drawn
// as its default character.
bool Font::Load(const char* path, int pixelHeight, std::string* error) {
    std::string file;
    if (!ReadWhole(path, &file)) {
        *error = std::string("cannot read ") + path + ": " + std::strerror(errno);
        return false;
    }
    LittleEndian fon(file);
    std::size_t ne = fon.U32(0x3C), resources = ne + fon.U16(ne + 0x24);
    unsigned shift = std::min(fon.U16(resources), 16u);  // resource offsets count 1 << shift bytes
    // Each type of resource: its number, how many there are, 4 bytes, then 12 bytes for each,
    // the first two its offset. A type numbered 0 ends the table.
    std::size_t strike = 0;
    for (std::size_t type = resources + 2; fon.U16(type) != 0 && strike == 0;
         type += 8 + 12 * fon.U16(type + 2)) {
        if (fon.U16(type) != kFontResource)
            continue;
        for (unsigned i = 0; i < fon.U16(type + 2); ++i) {
            std::size_t at = std::size_t{fon.U16(type + 8 + 12 * i)} << shift;
            if (fon.U16(at + 88) == static_cast<unsigned>(pixelHeight))  // its height in pixels
                strike = at;
        }
    }
    unsigned version = fon.U16(strike);
    if (fon.U16(0) != 0x5A4D || fon.U16(ne) != 0x454E || strike == 0 ||
        (version != 0x200 && version != 0x300)) {
        *error = "no " + std::to_string(pixelHeight) + "-pixel bitmap font in " + path;
        return false;
    }
    unsigned first = fon.U8(strike + 95), last = fon.U8(strike + 96);
    unsigned fallback = fon.U8(strike + 97);  // counted from the first character
    // Version 3 widened the offsets to 32 bits, and the header.
    std::size_t table = strike + (version == 0x300 ? 148 : 118);
    std::size_t entrySize = version == 0x300 ? 6 : 4;
    for (unsigned code = 0; code < 256; ++code) {
        std::size_t entry =
            table + entrySize * (code >= first && code <= last ? code - first : fallback);
        Glyph& g = glyphs_[code];
        g.width = static_cast<int>(fon.U16(entry));
        g.bits = strike + (version == 0x300 ? fon.U32(entry + 2) : fon.U16(entry + 2));
        std::size_t columns = (static_cast<std::size_t>(g.width) + 7) / 8;
        if (fon.CutShort() ||
            g.bits + columns * static_cast<std::size_t>(pixelHeight) > file.size()) {
            *error = std::string("the font file ") + path + " is cut short";
            return false;
        }
    }
    file_ = std::move(file);
    height_ = pixelHeight;
    return true;
}

int Font::Width(const std::string& text, bool bold) const {
    int width = 0;
    for (unsigned char c : text)
        width += glyphs_[c].width;
    return width + (bold && !text.empty() ? 1 : 0);
}

void Font::Draw(Pixels* pixels, int x, int y, const std::string& text, Colour colour,
                bool bold) const {
    for (unsigned char c : text) {
        const Glyph& g = glyphs_[c];
        for (int col = 0; col < g.width; ++col) {
            for (int row = 0; row < height_; ++row) {
                auto bits = static_cast<unsigned char>(
                    file_[g.bits + static_cast<std::size_t>(col / 8 * height_ + row)]);
                if ((bits & 0x80u >> col % 8) == 0)
                    continue;
                pixels->Put(x + col, y + row, colour);
                if (bold)
                    pixels->Put(x + col + 1, y + row, colour);
            }
        }
        x += g.width;
    }
}

}  // namespace desktop
