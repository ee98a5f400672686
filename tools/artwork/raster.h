// Anti-aliased drawing by supersampling: a picture is a function from a point
// to a colour, and each pixel is the mean of a grid of samples of it. Shapes
// are signed distances (negative inside), so an outline is `d < width`.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>

#include "artwork.h"

namespace quorvel::artwork {

struct Vec {
    double x = 0, y = 0;
};
inline Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec operator*(Vec a, double k) {
    return {a.x * k, a.y * k};
}
inline double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y;
}
inline double length(Vec a) {
    return std::sqrt(dot(a, a));
}

inline double circle(Vec p, Vec centre, double radius) {
    return length(p - centre) - radius;
}

// Exact on the outline and close to the true distance near it, even for
// flat ellipses: the implicit function divided by its gradient.
inline double ellipse(Vec p, Vec centre, Vec radii) {
    const Vec d = p - centre;
    const double k0 = length({d.x / radii.x, d.y / radii.y});
    const double k1 = length({d.x / (radii.x * radii.x), d.y / (radii.y * radii.y)});
    return k1 > 0 ? k0 * (k0 - 1.0) / k1 : -std::min(radii.x, radii.y);
}

inline double capsule(Vec p, Vec a, Vec b, double radius) {
    const Vec ab = b - a;
    const double len2 = dot(ab, ab);
    const double t = len2 > 0 ? std::clamp(dot(p - a, ab) / len2, 0.0, 1.0) : 0.0;
    return length(p - (a + ab * t)) - radius;
}

// Axis-aligned box between two corners.
inline double box(Vec p, Vec min, Vec max) {
    const Vec c = (min + max) * 0.5, h = (max - min) * 0.5;
    const double dx = std::abs(p.x - c.x) - h.x, dy = std::abs(p.y - c.y) - h.y;
    return length({std::max(dx, 0.0), std::max(dy, 0.0)}) + std::min(std::max(dx, dy), 0.0);
}

inline Rgba rgb(int r, int g, int b) {
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
            static_cast<std::uint8_t>(b), 255};
}

// a at t = 0, b at t = 1, every channel alpha included.
Rgba mix(Rgba a, Rgba b, double t);

// Source over destination for straight-alpha colours.
Rgba over(Rgba dst, Rgba src);

using Shader = std::function<Rgba(Vec)>;

// Samples `shade` on a samples × samples grid inside each pixel (pixel (x, y)
// covers [x, x+1) × [y, y+1)) and averages with premultiplied alpha.
Image render(int width, int height, int samples, const Shader& shade);

// A colour and how far, in pixels, the point is at least from any edge of
// the picture's shapes.
struct Sample {
    Rgba colour;
    double edge;
};
using EdgeShader = std::function<Sample(Vec)>;

// As render(), but a pixel whose centre lies clear of every edge takes the
// centre's colour alone: the same picture for a fraction of the samples.
Image render_adaptive(int width, int height, int samples, const EdgeShader& shade);

}  // namespace quorvel::artwork
