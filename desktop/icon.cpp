// The default application icon as Wine shows it: a small window with a grey frame, a blue title
// bar and a body that darkens downwards, over a soft shadow.
#include "desktop/icon.h"

#include <map>

namespace desktop {
namespace {

// One character a pixel; kColours gives each character's ARGB.
const char* const kRows[kIconSize] = {
    "                                ", "                                ",
    " SA##########################AT ", " CdbbbbbbbbbbbbbbbbbbbbbbbbbbdC ",
    " #bDxxxxxxxxxxxxxxxxxxxxxxxxDb# ", " #bnnnnnnnnnnnnnnnnnnnnnnnnnnb# ",
    " #boooooooooooooooooooooooooob# ", " #bEyyyyyyyyyyyyyyyyyyyyyyyyEb# ",
    " #dddddddddddddddddddddddddddd# ", " #FeeeeeeeeeeeeeeeeeeeeeeeeeeF# ",
    " #effffffffffffffffffffffffffe# ", " #egggggggggggggggggggggggggge# ",
    " #GhhhhhhhhhhhhhhhhhhhhhhhhhhG# ", " #fiiiiiiiiiiiiiiiiiiiiiiiiiif# ",
    " #gjjjjjjjjjjjjjjjjjjjjjjjjjjg# ", " #HkkkkkkkkkkkkkkkkkkkkkkkkkkH# ",
    " #hllllllllllllllllllllllllllh# ", " #BppppppppppppppppppppppppppB# ",
    " #BqqqqqqqqqqqqqqqqqqqqqqqqqqB# ", " #immmmmmmmmmmmmmmmmmmmmmmmmmi# ",
    " #IrrrrrrrrrrrrrrrrrrrrrrrrrrI# ", " #jssssssssssssssssssssssssssj# ",
    " #kttttttttttttttttttttttttttk# ", " #JuuuuuuuuuuuuuuuuuuuuuuuuuuJ# ",
    " #lvvvvvvvvvvvvvvvvvvvvvvvvvvl# ", " #cwwwwwwwwwwwwwwwwwwwwwwwwwwc# ",
    " #caaaaaaaaaaaaaaaaaaaaaaaaaac# ", " #caaaaaaaaaaaaaaaaaaaaaaaaaac# ",
    "KLmccccccccccccccccccccccccccULK", "MNA##########################ANM",
    " OPQRzzzzzzzzzzzzzzzzzzzzzzRQPO ", "                                ",
};

const std::map<char, std::uint32_t> kColours = {
    {' ', 0x00000000}, {'#', 0xFF8D8D8D}, {'a', 0xFFE0E0E0}, {'b', 0xFFFFFFFF}, {'c', 0xFFEFEFEF},
    {'d', 0xFFFEFEFE}, {'e', 0xFFFCFCFC}, {'f', 0xFFFAFAFA}, {'g', 0xFFF9F9F9}, {'h', 0xFFF7F7F7},
    {'i', 0xFFF5F5F5}, {'j', 0xFFF3F3F3}, {'k', 0xFFF2F2F2}, {'l', 0xFFF0F0F0}, {'m', 0xFFEBEBEB},
    {'n', 0xFF6783AD}, {'o', 0xFF859CBD}, {'p', 0xFFEEEEEE}, {'q', 0xFFEDEDED}, {'r', 0xFFE9E9E9},
    {'s', 0xFFE8E8E8}, {'t', 0xFFE6E6E6}, {'u', 0xFFE4E4E4}, {'v', 0xFFE2E2E2}, {'w', 0xFFE1E1E1},
    {'x', 0xFF4A6C9E}, {'y', 0xFFA1B3CC}, {'z', 0x28000000}, {'A', 0xFE8E8E8E}, {'B', 0xFFF6F6F6},
    {'C', 0xFD8D8D8D}, {'D', 0xFF4C6E9F}, {'E', 0xFFA2B4CD}, {'F', 0xFFFDFDFD}, {'G', 0xFFFBFBFB},
    {'H', 0xFFF8F8F8}, {'I', 0xFFF4F4F4}, {'J', 0xFFF1F1F1}, {'K', 0x12000000}, {'L', 0xFE8D8D8D},
    {'M', 0x13000000}, {'N', 0xAF888888}, {'O', 0x0A000000}, {'P', 0x18000000}, {'Q', 0x20000000},
    {'R', 0x23000000}, {'S', 0xA4959595}, {'T', 0xA3969696}, {'U', 0xFFEAEAEA},
};

// A colour with the given alpha laid over another, rounded to the nearest.
Colour Blend(std::uint32_t argb, Colour under) {
    std::uint32_t alpha = argb >> 24, out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        std::uint32_t over = (argb >> shift) & 0xFF, below = (under >> shift) & 0xFF;
        out |= ((over * alpha + below * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

}  // namespace

const std::vector<std::uint32_t>& ApplicationIcon() {
    static const std::vector<std::uint32_t> icon = [] {
        std::vector<std::uint32_t> pixels;
        for (const char* row : kRows) {
            for (int x = 0; x < kIconSize; ++x)
                pixels.push_back(kColours.at(row[x]));
        }
        return pixels;
    }();
    return icon;
}

void DrawSmallIcon(Pixels* pixels, int x, int y) {
    const std::vector<std::uint32_t>& icon = ApplicationIcon();
    // The stretch starts a row down, so the small icon's last row falls below the large one's.
    for (int row = 0; row < kIconSize / 2 - 1; ++row) {
        for (int col = 0; col < kIconSize / 2; ++col) {
            std::uint32_t argb =
                icon[static_cast<std::size_t>((2 * row + 2) * kIconSize + 2 * col + 1)];
            if (argb >> 24)
                pixels->Put(x + col, y + row, Blend(argb, pixels->At(x + col, y + row)));
        }
    }
}

}  // namespace desktop
