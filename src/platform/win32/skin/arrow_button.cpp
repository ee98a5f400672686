#include "platform/win32/skin/arrow_button.h"

#include <algorithm>

namespace quorvel::win32::skin {
namespace {

using platform::SkinScheme;

// The way an arrow points, one pixel long.
struct Step {
    int dx, dy;
};

Step step_of(Arrow arrow) {
    switch (arrow) {
        case Arrow::up:
            return {0, -1};
        case Arrow::down:
            return {0, 1};
        case Arrow::left:
            return {-1, 0};
        case Arrow::right:
            break;
    }
    return {1, 0};
}

void paint_face(PixelCanvas& cv, const RECT& r, const SkinScheme& sc, bool enabled, bool hot,
                bool pressed) {
    const Shape s = shape_of(r, 2);
    const double top = r.top, bottom = r.bottom;
    if (!enabled) {
        band(cv, s, 1, 1e9, vertical({{248, 248, 244}, {232, 232, 226}}, top, bottom));
        band(cv, s, 0, 1, solid(sc.frame_disabled));
        return;
    }
    const Gradient& face = pressed ? sc.arrow_button_pressed
                           : hot   ? sc.arrow_button_hot
                                   : sc.arrow_button;
    band(cv, s, 1, 1e9, vertical(face, top, bottom));
    // A light inner line gives a big enough face its raised edge.
    if (std::min(r.right - r.left, r.bottom - r.top) >= 14)
        band(cv, s, 1, 2, solid(mix(face.top, Rgb{255, 255, 255}, pressed ? 0.2 : 0.55)));
    band(cv, s, 0, 1, solid(sc.arrow_button_outline));
}

// Too small a button for a chevron to read: a solid, pixel-exact triangle.
void paint_triangle(PixelCanvas& cv, const RECT& r, double span, int shift, Step d, Rgb c) {
    const int rows = span < 8 ? 2 : 3;
    const int mid_x = r.left + (r.right - r.left - 1) / 2 + shift;
    const int mid_y = r.top + (r.bottom - r.top - 1) / 2 + shift;
    // Row i, counted from the tip, is 2i + 1 pixels wide, across the arrow.
    const int across_x = d.dy != 0 ? 1 : 0, across_y = d.dx != 0 ? 1 : 0;
    for (int i = 0; i < rows; ++i)
        for (int j = -i; j <= i; ++j)
            cv.blend(mid_x + d.dx * (rows / 2 - i) + across_x * j,
                     mid_y + d.dy * (rows / 2 - i) + across_y * j, c, 1);
}

void paint_chevron(PixelCanvas& cv, double cx, double cy, double span, Step d, Rgb c) {
    const double a = std::clamp(span * 0.22, 2.0, 4.0);  // half width of the chevron
    const double b = a * 0.55;
    const double thick = span >= 14 ? 2.0 : 1.6;
    const double across_x = d.dy != 0 ? 1 : 0, across_y = d.dx != 0 ? 1 : 0;
    const Point tip{cx + d.dx * b, cy + d.dy * b};
    const Point first{cx - d.dx * b - across_x * a, cy - d.dy * b - across_y * a};
    const Point last{cx - d.dx * b + across_x * a, cy - d.dy * b + across_y * a};
    stroke(cv, {first, tip, last}, thick, c);
}

}  // namespace

void paint_arrow_button(PixelCanvas& cv, const RECT& r, const SkinScheme& sc, bool enabled,
                        bool hot, bool pressed, Arrow arrow) {
    if (r.right - r.left < 3 || r.bottom - r.top < 3) return;
    paint_face(cv, r, sc, enabled, hot, pressed);
    const double w = r.right - r.left, h = r.bottom - r.top;
    const int shift = pressed ? 1 : 0;
    const double span = std::min(w, h);
    const Rgb c = enabled ? sc.arrow : sc.frame_disabled;
    if (span < 12)
        paint_triangle(cv, r, span, shift, step_of(arrow), c);
    else
        paint_chevron(cv, r.left + w / 2 + shift, r.top + h / 2 + shift, span, step_of(arrow), c);
}

}  // namespace quorvel::win32::skin
