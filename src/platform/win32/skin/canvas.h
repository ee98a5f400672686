// The skin's drawing primitives: colours, an off-screen pixel canvas, and
// round-cornered shapes, gradients and strokes with smoothed edges written
// onto it pixel by pixel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "platform/skin_rules.h"
#include "platform/win32/base/handles.h"

namespace quorvel::win32::skin {

using platform::Gradient;
using platform::Rgb;

// --- colours -------------------------------------------------------------------

// From a (t = 0) to b (t = 1); t is clamped.
Rgb mix(Rgb a, Rgb b, double t);

inline COLORREF colorref(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

inline Rgb from_colorref(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// A solid rectangle without creating a brush.
void fill_solid(HDC dc, const RECT& r, Rgb colour);

// --- off-screen canvas -------------------------------------------------------

// A 32-bit top-down DIB selected into a memory DC: GDI draws the text, the
// shapes are written pixel by pixel so their edges can be smoothed.
class PixelCanvas {
  public:
    PixelCanvas(HDC like, int width, int height)
        : width_(width),
          height_(height),
          dc_(CreateCompatibleDC(like)),
          bitmap_(make(like, width, height, &bits_)),
          select_(dc_.get(), bitmap_.get()) {}

    bool ok() const { return dc_ && bitmap_ && bits_ != nullptr; }
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

    // GDI batches its drawing; pixels may only be touched once it is done.
    void sync() const { GdiFlush(); }

    void blend(int x, int y, Rgb c, double alpha) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0) return;
        std::uint32_t& px = bits_[static_cast<std::size_t>(y) * width_ + x];
        const Rgb under{static_cast<std::uint8_t>(px >> 16), static_cast<std::uint8_t>(px >> 8),
                        static_cast<std::uint8_t>(px)};
        const Rgb out = alpha >= 1 ? c : mix(under, c, alpha);
        px = (std::uint32_t{out.r} << 16) | (std::uint32_t{out.g} << 8) | out.b;
    }

    void copy_to(HDC target) const {
        BitBlt(target, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
    }

  private:
    static HBITMAP make(HDC like, int width, int height, std::uint32_t** bits);

    int width_, height_;
    std::uint32_t* bits_ = nullptr;
    UniqueDc dc_;
    UniqueBitmap bitmap_;
    Selection select_;  // last: put back before the bitmap goes
};

// --- smoothed shapes -----------------------------------------------------------

// A rectangle with round corners, in continuous pixel coordinates (a pixel
// x covers [x, x + 1)).
struct Shape {
    double left, top, right, bottom, radius;
};

inline Shape shape_of(const RECT& r, double radius) {
    return {double(r.left), double(r.top), double(r.right), double(r.bottom), radius};
}

// The colour a shape gives the pixel at x, y.
using Paint = std::function<Rgb(int x, int y)>;

// Paints the pixels whose depth inside the shape lies in [from, to), with
// smoothed edges. `gap` (optional) is left untouched.
void band(PixelCanvas& cv, const Shape& s, double from, double to, const Paint& paint,
          const RECT* gap = nullptr);

Paint solid(Rgb c);
// Top to bottom across the rows [top, bottom).
Paint vertical(const Gradient& g, double top, double bottom);
// Top left to bottom right across the shape.
Paint diagonal(const Gradient& g, const Shape& s);

struct Point {
    double x, y;
};

// A stroked path, for check marks and arrows.
void stroke(PixelCanvas& cv, std::initializer_list<Point> points, double width, Rgb colour);

}  // namespace quorvel::win32::skin
