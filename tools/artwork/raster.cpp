#include "raster.h"

#include <stdexcept>

namespace quorvel::artwork {

namespace {

std::uint8_t channel(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

Image::Image(int width, int height, Rgba fill) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) throw std::invalid_argument("image size must be positive");
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

Rgba mix(Rgba a, Rgba b, double t) {
    const auto m = [t](std::uint8_t u, std::uint8_t v) { return channel(u + (v - u) * t); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b), m(a.a, b.a)};
}

Rgba over(Rgba dst, Rgba src) {
    const double sa = src.a / 255.0, da = dst.a / 255.0;
    const double oa = sa + da * (1 - sa);
    if (oa <= 0) return {0, 0, 0, 0};
    const auto c = [&](std::uint8_t s, std::uint8_t d) {
        return channel((s * sa + d * da * (1 - sa)) / oa);
    };
    return {c(src.r, dst.r), c(src.g, dst.g), c(src.b, dst.b), channel(oa * 255)};
}

Image render_adaptive(int width, int height, int samples, const EdgeShader& shade) {
    Image image(width, height);
    const double step = 1.0 / samples;
    const double n = static_cast<double>(samples) * samples;
    // Half the pixel's diagonal, with room for the distances' slack.
    constexpr double clear_of_edges = 0.75;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Sample centre = shade({x + 0.5, y + 0.5});
            if (centre.edge > clear_of_edges) {
                image.at(x, y) = centre.colour.a > 0 ? centre.colour : Rgba{0, 0, 0, 0};
                continue;
            }
            double r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < samples; ++j) {
                for (int i = 0; i < samples; ++i) {
                    const Rgba c = shade({x + (i + 0.5) * step, y + (j + 0.5) * step}).colour;
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            image.at(x, y) =
                a > 0 ? Rgba{channel(r / a), channel(g / a), channel(b / a), channel(a / n)}
                      : Rgba{0, 0, 0, 0};
        }
    }
    return image;
}

Image render(int width, int height, int samples, const Shader& shade) {
    return render_adaptive(width, height, samples, [&](Vec p) { return Sample{shade(p), 0.0}; });
}

}  // namespace quorvel::artwork
