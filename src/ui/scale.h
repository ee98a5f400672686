// The display scale: designs are drawn for 96 DPI and every designed length
// becomes device pixels by DPI ÷ 96 here, rounded half away from zero as the
// system's MulDiv does, so the core and the system agree on every pixel.
#pragma once

#include "ui/design.h"

namespace quorvel::ui {

class Scale {
  public:
    static constexpr int designed_dpi = 96;

    constexpr Scale() = default;
    constexpr explicit Scale(int dpi) : dpi_(dpi > 0 ? dpi : designed_dpi) {}

    constexpr int dpi() const { return dpi_; }
    constexpr bool identity() const { return dpi_ == designed_dpi; }

    // A designed length in device pixels.
    constexpr int px(int designed) const { return mul_div(designed, dpi_, designed_dpi); }
    // A device length back in designed pixels.
    constexpr int designed(int device) const { return mul_div(device, designed_dpi, dpi_); }

    // Edges are scaled, not sizes, so controls that touch by design still
    // touch: the width is whatever lies between the scaled edges.
    constexpr Rect rect(const Rect& r) const {
        const int left = px(r.left);
        const int top = px(r.top);
        return {left, top, px(r.left + r.width) - left, px(r.top + r.height) - top};
    }

    constexpr bool operator==(const Scale&) const = default;

    static constexpr int mul_div(int value, int numerator, int denominator) {
        const long long p = static_cast<long long>(value) * numerator;
        const long long half = denominator / 2;
        return static_cast<int>(p >= 0 ? (p + half) / denominator : -((-p + half) / denominator));
    }

  private:
    int dpi_ = designed_dpi;
};

}  // namespace quorvel::ui
