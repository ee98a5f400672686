#include <algorithm>

#include "pictures.h"
#include "raster.h"

namespace quorvel::artwork {

namespace {

constexpr int width = 19, height = 17;
constexpr int split = 9;  // first row of the dark lower half; the holder's row 11

// The plain face is the holder behind the button (the button sits on its
// row 2), so an idle button shows only its glyph on the title band.
Rgba plain_face(int y) {
    return title_row_colour(TitleRow::holder, y + 2);
}

struct Panel {
    Rgba frame, top, top_end, bottom, bottom_end;
};
const Panel light_panel{rgb(140, 204, 242), rgb(92, 178, 232), rgb(46, 136, 202), rgb(16, 96, 164),
                        rgb(10, 80, 142)};
const Panel dark_panel{rgb(0, 28, 60), rgb(6, 74, 134), rgb(2, 50, 100), rgb(0, 36, 74),
                       rgb(0, 30, 64)};

Rgba panel_face(const Panel& p, int x, int y) {
    const bool edge_x = x == 0 || x == width - 1, edge_y = y == 0 || y == height - 1;
    // Softened corners read as a rounded panel.
    if (edge_x && edge_y) return mix(p.frame, plain_face(y), 0.55);
    if (edge_x || edge_y) return p.frame;
    if (y < split) return mix(p.top, p.top_end, (y - 1) / (split - 2.0));
    return mix(p.bottom, p.bottom_end, (y - split) / (height - 2.0 - split));
}

Rgba face_colour(Face face, int x, int y) {
    switch (face) {
        case Face::light:
            return panel_face(light_panel, x, y);
        case Face::dark:
            return panel_face(dark_panel, x, y);
        case Face::plain:
            break;
    }
    return plain_face(y);
}

double outline_box(Vec p, Vec min, Vec max, Vec inner_min, Vec inner_max) {
    return std::max(box(p, min, max), -box(p, inner_min, inner_max));
}

// Glyphs in pixel-edge coordinates; a window outline has a 2-pixel top edge.
double glyph_distance(Glyph glyph, Vec p) {
    switch (glyph) {
        case Glyph::close: {
            const double r = 1.0;
            return std::min(capsule(p, {5.85, 4.85}, {13.15, 12.15}, r),
                            capsule(p, {13.15, 4.85}, {5.85, 12.15}, r));
        }
        case Glyph::minimise:
            return box(p, {5, 11}, {14, 13});
        case Glyph::maximise:
            return outline_box(p, {5, 4}, {14, 13}, {6, 6}, {13, 12});
        case Glyph::restore: {
            const double front_outer = box(p, {5, 7}, {12, 13});
            const double front = std::max(front_outer, -box(p, {6, 9}, {11, 12}));
            const double rear = outline_box(p, {7, 4}, {14, 10}, {8, 6}, {13, 9});
            return std::min(front, std::max(rear, -front_outer));
        }
    }
    return 1;
}

}  // namespace

Image title_button(Glyph glyph, Face face, double scale) {
    const Vec shift = face == Face::dark ? Vec{1, 1} : Vec{0, 0};
    const Rgba white = rgb(255, 255, 255);
    const Rgba shadow{0, 20, 46, 150};
    const double to_designed = 1.0 / scale;
    return render(scaled(width, scale), scaled(height, scale), 8, [=](Vec device) {
        const Vec p = device * to_designed;
        const Vec g = p - shift;
        if (glyph_distance(glyph, g) < 0) return white;
        const Rgba base = face_colour(face, static_cast<int>(p.x), static_cast<int>(p.y));
        if (glyph_distance(glyph, g - Vec{1, 1}) < 0) return over(base, shadow);
        return base;
    });
}

}  // namespace quorvel::artwork
