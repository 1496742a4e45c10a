// Windows bitmap fonts (.fon): the strike of one height, each glyph drawn from its bits.
#include "desktop/font.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace desktop {
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
