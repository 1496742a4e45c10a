#include "desktop/pixels.h"

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

}  // namespace desktop
