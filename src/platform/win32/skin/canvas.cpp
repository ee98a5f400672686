#include "platform/win32/skin/canvas.h"

#include <algorithm>
#include <cmath>

namespace quorvel::win32::skin {
namespace {

Rgb along(const Gradient& g, double t) {
    return mix(g.top, g.bottom, t);
}

// Distance from the point inward to the shape's edge (negative outside).
double depth(const Shape& s, double x, double y) {
    const double cx = (s.left + s.right) / 2, cy = (s.top + s.bottom) / 2;
    const double hx = (s.right - s.left) / 2, hy = (s.bottom - s.top) / 2;
    const double r = std::min({s.radius, hx, hy});
    const double qx = std::abs(x - cx) - (hx - r), qy = std::abs(y - cy) - (hy - r);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return -(outside + std::min(std::max(qx, qy), 0.0) - r);
}

double distance_to_segment(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    const double t =
        len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

Rgb mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    auto channel = [t](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x + (y - x) * t));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

void fill_solid(HDC dc, const RECT& r, Rgb colour) {
    const COLORREF old = SetBkColor(dc, colorref(colour));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

HBITMAP PixelCanvas::make(HDC like, int width, int height, std::uint32_t** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* data = nullptr;
    HBITMAP bmp = CreateDIBSection(like, &info, DIB_RGB_COLORS, &data, nullptr, 0);
    *bits = bmp ? static_cast<std::uint32_t*>(data) : nullptr;
    return bmp;
}

void band(PixelCanvas& cv, const Shape& s, double from, double to, const Paint& paint,
          const RECT* gap) {
    const int x0 = std::max(0, int(std::floor(s.left))),
              x1 = std::min(cv.width(), int(std::ceil(s.right)));
    const int y0 = std::max(0, int(std::floor(s.top))),
              y1 = std::min(cv.height(), int(std::ceil(s.bottom)));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            if (gap && x >= gap->left && x < gap->right && y >= gap->top && y < gap->bottom)
                continue;
            const double d = depth(s, x + 0.5, y + 0.5);
            const double cover =
                std::clamp(d - from + 0.5, 0.0, 1.0) - std::clamp(d - to + 0.5, 0.0, 1.0);
            if (cover > 0.0) cv.blend(x, y, paint(x, y), cover);
        }
}

Paint solid(Rgb c) {
    return [c](int, int) { return c; };
}

Paint vertical(const Gradient& g, double top, double bottom) {
    return [g, top, bottom](int, int y) {
        return along(g, bottom - top > 1 ? (y + 0.5 - top) / (bottom - top) : 0.0);
    };
}

Paint diagonal(const Gradient& g, const Shape& s) {
    return [g, s](int x, int y) {
        const double span = (s.right - s.left) + (s.bottom - s.top);
        return along(g, (x + 0.5 - s.left + y + 0.5 - s.top) / span);
    };
}

void stroke(PixelCanvas& cv, std::initializer_list<Point> points, double width, Rgb colour) {
    double l = 1e9, t = 1e9, r = -1e9, b = -1e9;
    for (Point p : points) {
        l = std::min(l, p.x), t = std::min(t, p.y), r = std::max(r, p.x), b = std::max(b, p.y);
    }
    const int x0 = std::max(0, int(l - width)), x1 = std::min(cv.width(), int(r + width) + 1);
    const int y0 = std::max(0, int(t - width)), y1 = std::min(cv.height(), int(b + width) + 1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            double d = 1e9;
            const Point p{x + 0.5, y + 0.5};
            for (auto a = points.begin(); a + 1 != points.end(); ++a)
                d = std::min(d, distance_to_segment(p, *a, *(a + 1)));
            cv.blend(x, y, colour, std::clamp(width / 2 - d + 0.5, 0.0, 1.0));
        }
}

}  // namespace quorvel::win32::skin
