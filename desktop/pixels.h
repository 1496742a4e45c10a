#pragma once
// A picture of one top-level window as 0x00RRGGBB pixels, the layout an X server of depth 24
// takes as it is, with the few drawing operations of the classic look.

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace desktop {

using Colour = std::uint32_t;

class Pixels {
  public:
    Pixels(int width, int height);
    virtual ~Pixels();
    // Moved, not copied, wherever it can be: a picture is megabytes at a scale of 2 or 3.
    Pixels(Pixels&&) = default;
    Pixels& operator=(Pixels&&) = default;
    Pixels(const Pixels&) = default;
    Pixels& operator=(const Pixels&) = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<Colour>& Data() const { return data_; }
    Colour At(int x, int y) const;
    bool SameAs(const Pixels& other) const {
        return width_ == other.width_ && height_ == other.height_ && data_ == other.data_;
    }
    // The picture with each pixel made a square of factor x factor: bigger, and just as sharp.
    Pixels Scaled(int factor) const;

    // Drawing stays inside this rectangle (and the picture) until the next Clip.
    void Clip(const RECT& rect);

    void Put(int x, int y, Colour colour);
    void Fill(const RECT& rect, Colour colour);
    void HLine(int left, int right, int y, Colour colour);  // [left, right)
    void VLine(int x, int top, int bottom, Colour colour);  // [top, bottom)
    // A one-pixel outline: top and left edges in one colour, bottom and right in the other.
    void Edge(const RECT& rect, Colour topLeft, Colour bottomRight);
    // The platform's focus rectangle: every other pixel of the outline inverted, those whose
    // coordinates from origin (the control's client corner) add up to an even number.
    void FocusRect(const RECT& rect, POINT origin);

  private:
    int width_, height_;
    RECT clip_;
    std::vector<Colour> data_;
};

}  // namespace desktop
