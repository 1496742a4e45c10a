#include "platform/own/font.h"

namespace own {
namespace {

// Advance widths of the characters ' ' to '~'; others count as the average width.
constexpr unsigned char kAdvances[] = {
    3, 3, 5, 7, 6, 8, 6, 2,  3,  3, 4, 6, 3, 3, 3, 5, 6, 6, 6, 6, 6, 6, 6, 6,
    6, 6, 3, 3, 6, 6, 6, 6,  11, 7, 7, 7, 8, 7, 6, 8, 8, 3, 5, 7, 6, 9, 8, 8,
    7, 8, 8, 7, 7, 8, 7, 11, 7,  7, 7, 3, 5, 3, 6, 6, 3, 6, 6, 6, 6, 6, 3, 6,
    6, 2, 2, 6, 2, 8, 6, 6,  6,  6, 3, 5, 3, 6, 6, 8, 5, 5, 5, 4, 2, 4, 7,
};
constexpr int kAverageWidth = 6;

}  // namespace

int TextWidth(const std::string& text) {
    int width = 0;
    for (unsigned char c : text)
        width += c >= ' ' && c <= '~' ? kAdvances[c - ' '] : kAverageWidth;
    return width;
}

}  // namespace own
