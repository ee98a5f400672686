#include <algorithm>
#include <initializer_list>
#include <vector>

#include "pictures.h"
#include "raster.h"

namespace quorvel::artwork {

namespace {

// A character as polylines on a 12 x 12 grid of pixel centres, drawn about
// one pixel wide: a hand-made bitmap font whose diagonals are anti-aliased.
using Stroke = std::vector<Vec>;
using Character = std::vector<Stroke>;

const Character she = {
    // 讠
    {{0.2, 0.3}, {1.6, 1.5}},
    {{0, 3}, {2, 3}, {2, 9.6}},
    {{2, 9.6}, {3.9, 7.8}},
    // 几
    {{6, 0}, {6, 2.6}, {5.2, 4.3}},
    {{6, 0}, {9, 0}, {9, 2.8}, {9.8, 3.8}, {11, 3.8}, {11, 2.8}},
    // 又
    {{5.2, 6}, {10, 6}, {5, 11}},
    {{6.5, 7.5}, {10.4, 10.8}},
};

const Character zhi = {
    // 罒
    {{1, 0}, {10, 0}, {10, 2}, {1, 2}, {1, 0}},
    {{4, 0}, {4, 2}},
    {{7, 0}, {7, 2}},
    // 十
    {{0.6, 4}, {10.4, 4}},
    {{6, 3}, {6, 5}},
    // 目 on the long bottom stroke
    {{3, 5}, {9, 5}, {9, 11}},
    {{3, 5}, {3, 11}},
    {{3, 7}, {9, 7}},
    {{3, 9}, {9, 9}},
    // ㄴ
    {{1, 5.4}, {1, 11}, {11.4, 11}},
};

double character_distance(const Character& c, Vec origin, Vec p) {
    constexpr double half_width = 0.56;
    double d = 1e9;
    const Vec q = p - origin - Vec{0.5, 0.5};
    for (const Stroke& s : c) {
        for (std::size_t i = 0; i + 1 < s.size(); ++i) {
            d = std::min(d, capsule(q, s[i], s[i + 1], half_width));
        }
    }
    return d;
}

}  // namespace

Image settings_button(Rgba ink, double scale) {
    const Rgba ground = rgb(221, 238, 255);
    // Two 12 x 12 cells two pixels apart, centred in 36 x 20.
    const Vec first{5, 4}, second{19, 4};
    const double to_designed = 1.0 / scale;
    return render(scaled(36, scale), scaled(20, scale), 8, [=](Vec device) {
        const Vec p = device * to_designed;
        const double d =
            std::min(character_distance(she, first, p), character_distance(zhi, second, p));
        return d < 0 ? ink : ground;
    });
}

}  // namespace quorvel::artwork
