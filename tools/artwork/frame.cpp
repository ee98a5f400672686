#include <algorithm>
#include <cmath>

#include "pictures.h"
#include "raster.h"

namespace quorvel::artwork {

namespace {

const Rgba outline = rgb(0, 38, 81);
const Rgba magenta = rgb(255, 0, 255);  // corners the window region cuts away
const Rgba black = rgb(0, 0, 0);
const Rgba white = rgb(255, 255, 255);

// Row `i` of `n` rows running from a to b, both ends included.
Rgba gradient(Rgba a, Rgba b, int i, int n) {
    return mix(a, b, n > 1 ? i / (n - 1.0) : 0.0);
}

Rgba date_row_colour(int row) {
    if (row < 28) return gradient(rgb(8, 146, 213), rgb(13, 100, 172), row, 28);
    return row == 28 ? rgb(16, 125, 192) : rgb(0, 65, 118);
}

Rgba status_row_colour(int row) {
    if (row == 0) return rgb(0, 65, 118);
    if (row == 1) return rgb(54, 153, 232);
    if (row < 12) return gradient(rgb(2, 103, 214), rgb(1, 69, 142), row - 2, 10);
    if (row < 22) return rgb(1, 53, 109);
    return row == 22 ? rgb(50, 106, 155) : outline;
}

// The title band ends: title rows above date rows.
Rgba band_row_colour(int row) {
    return row < 22 ? title_row_colour(TitleRow::strip, row) : date_row_colour(row - 22);
}

// The lit column just inside the dark outer edge of the end pieces.
Rgba bevel(Rgba c) {
    return c == outline ? c : mix(c, white, 0.25);
}

template <typename RowColour>
Image rows(int width, int height, RowColour colour) {
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.at(x, y) = colour(y);
    return image;
}

// An end piece: `outer` is the window edge column, the bevel next to it.
template <typename RowColour>
Image end_piece(int width, int height, RowColour colour, bool outer_left) {
    Image image = rows(width, height, colour);
    const int outer = outer_left ? 0 : width - 1;
    const int inner = outer_left ? 1 : width - 2;
    for (int y = 0; y < height; ++y) {
        image.at(outer, y) = outline;
        image.at(inner, y) = bevel(colour(y));
    }
    return image;
}

// Three magenta pixels fill the corner at (x, y) along the two edges.
void corner(Image& image, int x, int y) {
    const int dx = x == 0 ? 1 : -1, dy = y == 0 ? 1 : -1;
    image.at(x, y) = magenta;
    image.at(x + dx, y) = magenta;
    image.at(x, y + dy) = magenta;
}

Image stripes(int height, bool outer_left) {
    const Rgba outside = rgb(0, 38, 81), middle = rgb(21, 86, 140), inside = rgb(0, 65, 118);
    Image image(3, height);
    for (int y = 0; y < height; ++y) {
        image.at(0, y) = outer_left ? outside : inside;
        image.at(1, y) = middle;
        image.at(2, y) = outer_left ? inside : outside;
    }
    return image;
}

}  // namespace

int scaled(int designed, double scale) {
    return static_cast<int>(std::floor(designed * scale + 0.5));
}

Image blocks(const Image& designed, double scale) {
    Image image(scaled(designed.width(), scale), scaled(designed.height(), scale));
    auto source = [scale](int device, int size) {
        return std::min(size - 1, static_cast<int>((device + 0.5) / scale));
    };
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.at(x, y) = designed.at(source(x, designed.width()), source(y, designed.height()));
    return image;
}

Rgba title_row_colour(TitleRow kind, int row) {
    const bool holder = kind == TitleRow::holder;
    if (row == 0) return outline;
    if (row == 1) return rgb(84, 162, 209);
    if (row < 11) return gradient(rgb(23, 126, 190), rgb(3, 74, 133), row - 2, 9);
    if (row < 19) return holder ? rgb(1, 53, 98) : rgb(2, 72, 131);
    if (row == 19) return holder ? rgb(1, 46, 88) : rgb(1, 60, 112);  // eases into the dark line
    if (row == 20) return outline;
    return rgb(8, 168, 220);
}

Image title_strip() {
    return rows(5, 22, [](int y) { return title_row_colour(TitleRow::strip, y); });
}

Image title_joint() {
    Image image = title_strip();
    for (int y = 0; y < image.height(); ++y) {
        const Rgba c = image.at(2, y);
        image.at(2, y) = c == outline ? c : mix(c, black, 0.4);
    }
    return image;
}

Image title_holder() {
    return rows(7, 22, [](int y) { return title_row_colour(TitleRow::holder, y); });
}

Image date_line() {
    return rows(5, 30, date_row_colour);
}

Image title_left() {
    Image image = end_piece(5, 52, band_row_colour, true);
    corner(image, 0, 0);
    return image;
}

Image title_right() {
    Image image = end_piece(6, 52, band_row_colour, false);
    corner(image, 5, 0);
    return image;
}

Image status_left() {
    Image image = end_piece(3, 24, status_row_colour, true);
    corner(image, 0, 23);
    return image;
}

Image status_middle() {
    return rows(6, 24, status_row_colour);
}

Image status_right() {
    Image image = end_piece(3, 24, status_row_colour, false);
    corner(image, 2, 23);
    return image;
}

Image border_left() {
    return stripes(15, true);
}
Image border_right() {
    return stripes(14, false);
}

}  // namespace quorvel::artwork
