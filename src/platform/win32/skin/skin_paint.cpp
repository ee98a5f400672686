#include "platform/win32/skin/skin_paint.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "platform/win32/base/text.h"

namespace quorvel::win32::skin {
namespace {

using platform::Gradient;

// --- colours -------------------------------------------------------------------

Rgb mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    auto channel = [t](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x + (y - x) * t));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

Rgb along(const Gradient& g, double t) {
    return mix(g.top, g.bottom, t);
}

COLORREF colorref(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

Rgb from_colorref(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// A solid rectangle without creating a brush.
void fill_solid(HDC dc, const RECT& r, Rgb colour) {
    const COLORREF old = SetBkColor(dc, colorref(colour));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

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
    static HBITMAP make(HDC like, int width, int height, std::uint32_t** bits) {
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

Shape shape_of(const RECT& r, double radius) {
    return {double(r.left), double(r.top), double(r.right), double(r.bottom), radius};
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

using Paint = std::function<Rgb(int x, int y)>;

// Paints the pixels whose depth inside the shape lies in [from, to), with
// smoothed edges. `gap` (optional) is left untouched.
void band(PixelCanvas& cv, const Shape& s, double from, double to, const Paint& paint,
          const RECT* gap = nullptr) {
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

// Top to bottom across the rows [top, bottom).
Paint vertical(const Gradient& g, double top, double bottom) {
    return [g, top, bottom](int, int y) {
        return along(g, bottom - top > 1 ? (y + 0.5 - top) / (bottom - top) : 0.0);
    };
}

// Top left to bottom right across the shape.
Paint diagonal(const Gradient& g, const Shape& s) {
    return [g, s](int x, int y) {
        const double span = (s.right - s.left) + (s.bottom - s.top);
        return along(g, (x + 0.5 - s.left + y + 0.5 - s.top) / span);
    };
}

struct Point {
    double x, y;
};

double distance_to_segment(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    const double t =
        len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// A stroked path, for check marks and arrows.
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

// --- what a control says about itself ----------------------------------------

struct Looks {
    bool enabled, focused, hide_focus, hide_accel;
};

Looks looks_of(HWND w) {
    const LRESULT ui = SendMessageW(w, WM_QUERYUISTATE, 0, 0);
    return {IsWindowEnabled(w) != FALSE, GetFocus() == w, (ui & UISF_HIDEFOCUS) != 0,
            (ui & UISF_HIDEACCEL) != 0};
}

HFONT font_of(HWND w) {
    if (auto f = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0))) return f;
    return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));  // what a control without a font shows
}

int scaled(HDC dc, int pixels_at_96_dpi) {
    return MulDiv(pixels_at_96_dpi, GetDeviceCaps(dc, LOGPIXELSY), 96);
}

// Draws the control's own text in its own font. Multi-line text is placed
// vertically by hand since DrawText centres single lines only. Returns where
// the text went.
RECT draw_label(HDC dc, HWND w, const std::wstring& text, RECT area, UINT format, Rgb colour) {
    SavedDc saved(dc);
    SelectObject(dc, font_of(w));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colorref(colour));
    RECT measured = area;
    DrawTextW(dc, text.c_str(), -1, &measured, (format & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
    const int text_w = std::min(measured.right - measured.left, area.right - area.left);
    const int text_h = std::min(measured.bottom - measured.top, area.bottom - area.top);
    RECT place = area;
    if (format & DT_CENTER)
        place.left = area.left + (area.right - area.left - text_w) / 2;
    else if (format & DT_RIGHT)
        place.left = area.right - text_w;
    if (format & DT_BOTTOM)
        place.top = area.bottom - text_h;
    else if (format & DT_VCENTER)
        place.top = area.top + (area.bottom - area.top - text_h) / 2;
    place.right = place.left + text_w;
    place.bottom = place.top + text_h;
    RECT draw = place;
    DrawTextW(dc, text.c_str(), -1, &draw, (format & ~(DT_VCENTER | DT_BOTTOM)) | DT_NOCLIP);
    return place;
}

UINT button_text_format(LONG style, bool centred_by_default, bool hide_accel) {
    UINT f = 0;
    switch (style & BS_CENTER) {
        case BS_LEFT:
            f |= DT_LEFT;
            break;
        case BS_RIGHT:
            f |= DT_RIGHT;
            break;
        case BS_CENTER:
            f |= DT_CENTER;
            break;
        default:
            f |= centred_by_default ? DT_CENTER : DT_LEFT;
    }
    if (style & BS_MULTILINE)
        f |= DT_WORDBREAK;
    else
        f |= DT_SINGLELINE;
    switch (style & BS_VCENTER) {
        case BS_TOP:
            f |= DT_TOP;
            break;
        case BS_BOTTOM:
            f |= DT_BOTTOM;
            break;
        default:
            f |= DT_VCENTER;
    }
    if (hide_accel) f |= DT_HIDEPREFIX;
    return f;
}

void focus_rect(HDC dc, RECT r) {
    SavedDc saved(dc);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &r);
}

// What lies under a control that is not square: the parent's own background,
// asked for the way themed controls ask for it.
void parent_background(HWND w, HDC dc, const RECT& client) {
    fill_solid(dc, client, from_colorref(GetSysColor(COLOR_BTNFACE)));
    HWND parent = GetParent(w);
    if (!parent) return;
    POINT origin{0, 0};
    MapWindowPoints(w, parent, &origin, 1);
    SavedDc saved(dc);
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

// The background an edit-like control paints itself with, as its parent
// chooses it. The brush belongs to the parent.
HBRUSH edit_background(HWND w, HDC dc, bool editable) {
    HWND parent = GetParent(w);
    HBRUSH brush = nullptr;
    if (parent)
        brush = reinterpret_cast<HBRUSH>(
            SendMessageW(parent, editable ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                         reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w)));
    return brush ? brush : GetSysColorBrush(editable ? COLOR_WINDOW : COLOR_BTNFACE);
}

// --- push button -----------------------------------------------------------------

void paint_push_button(HWND w, PixelCanvas& cv, const SkinScheme& sc, const ControlState& st) {
    const RECT rc{0, 0, cv.width(), cv.height()};
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    const Looks looks = looks_of(w);
    const LRESULT state = SendMessageW(w, BM_GETSTATE, 0, 0);
    const bool pushed = (state & BST_PUSHED) != 0;
    const bool checked = (style & BS_PUSHLIKE) && (state & (BST_CHECKED | BST_INDETERMINATE));
    const bool is_default = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;

    parent_background(w, cv.dc(), rc);
    cv.sync();

    const Shape outer = shape_of(rc, 3);
    const double h = cv.height();
    if (!looks.enabled) {
        band(cv, outer, 1, 1e9, solid(sc.button_face_disabled));
        band(cv, outer, 0, 1, solid(sc.frame_disabled));
    } else {
        const Gradient face = (pushed || checked) ? sc.button_face_pressed : sc.button_face;
        band(cv, outer, 1, 1e9, vertical(face, 1, h - 1));
        if (!pushed && !checked) {
            // The lowest rows turn a shade darker: the face seems to bulge.
            const Rgb shade = mix(sc.button_face.bottom, Rgb{0, 0, 0}, 0.09);
            band(cv, {1, h - 3, rc.right - 1.0, h - 1, 2}, 0, 1e9, [&](int, int y) {
                return y == int(h) - 2 ? shade : mix(sc.button_face.bottom, shade, 0.5);
            });
        }
        if (st.hot && !pushed)
            band(cv, outer, 1, 3, vertical(sc.hot_ring, 1, h - 1));
        else if ((is_default || looks.focused) && !pushed)
            band(cv, outer, 1, 3, vertical(sc.default_ring, 1, h - 1));
        band(cv, outer, 0, 1, solid(sc.button_outline));
    }

    RECT area{3, 3, rc.right - 3, rc.bottom - 3};
    if (pushed || checked) OffsetRect(&area, 1, 1);
    draw_label(cv.dc(), w, window_text(w), area, button_text_format(style, true, looks.hide_accel),
               looks.enabled ? sc.text : sc.text_disabled);
    if (looks.focused && !looks.hide_focus)
        focus_rect(cv.dc(), {3, 3, rc.right - 3, rc.bottom - 3});
}

// --- check box and radio button --------------------------------------------------

void paint_check_mark(PixelCanvas& cv, double x, double y, double size, Rgb colour) {
    const double k = size / 13.0;
    stroke(cv, {{x + 3.6 * k, y + 6.4 * k}, {x + 5.6 * k, y + 8.6 * k}, {x + 9.6 * k, y + 4.2 * k}},
           2.1 * k, colour);
}

void paint_check_or_radio(HWND w, PixelCanvas& cv, const SkinScheme& sc, const ControlState& st,
                          bool radio) {
    const RECT rc{0, 0, cv.width(), cv.height()};
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    const Looks looks = looks_of(w);
    const LRESULT state = SendMessageW(w, BM_GETSTATE, 0, 0);
    const bool pushed = (state & BST_PUSHED) != 0;
    const int check = static_cast<int>(SendMessageW(w, BM_GETCHECK, 0, 0));

    parent_background(w, cv.dc(), rc);

    const int box = scaled(cv.dc(), 13);
    const int gap = scaled(cv.dc(), 4);
    const bool box_right = (style & BS_LEFTTEXT) != 0;
    int box_y = (rc.bottom - box) / 2;
    if ((style & BS_VCENTER) == BS_TOP) box_y = std::min(box_y, 1);
    if ((style & BS_VCENTER) == BS_BOTTOM) box_y = std::max(box_y, int(rc.bottom) - box - 1);
    const int box_x = box_right ? rc.right - box : 0;

    RECT area =
        box_right ? RECT{0, 0, box_x - gap, rc.bottom} : RECT{box + gap, 0, rc.right, rc.bottom};
    const std::wstring text = window_text(w);
    const RECT drawn =
        draw_label(cv.dc(), w, text, area, button_text_format(style, false, looks.hide_accel),
                   looks.enabled ? sc.text : sc.text_disabled);
    if (looks.focused && !looks.hide_focus && !text.empty()) {
        RECT f{drawn.left - 1, drawn.top - 1, drawn.right + 1, drawn.bottom + 1};
        IntersectRect(&f, &f, &rc);
        focus_rect(cv.dc(), f);
    }
    cv.sync();

    const Shape outer{double(box_x), double(box_y), double(box_x + box), double(box_y + box),
                      radio ? box / 2.0 : 0.0};
    if (!looks.enabled) {
        band(cv, outer, 1, 1e9, solid(Rgb{255, 255, 255}));
    } else {
        band(cv, outer, 1, 1e9, diagonal(pushed ? sc.box_fill_pressed : sc.box_fill, outer));
        if (st.hot && !pushed) band(cv, outer, 1, 3, diagonal(sc.hot_ring, outer));
    }
    band(cv, outer, 0, 1, solid(looks.enabled ? sc.box_border : sc.frame_disabled));

    const Rgb mark = looks.enabled ? sc.mark : sc.frame_disabled;
    const double k = box / 13.0;
    if (radio) {
        if (check == BST_CHECKED) {
            const double c = box / 2.0, r = 2.9 * k;
            const Shape dot{box_x + c - r, box_y + c - r, box_x + c + r, box_y + c + r, r};
            const Rgb light = mix(mark, Rgb{255, 255, 255}, 0.45);
            band(cv, dot, 0, 1e9, [&](int x, int y) {
                const double d =
                    std::hypot(x + 0.5 - (box_x + c - 0.8 * k), y + 0.5 - (box_y + c - 0.8 * k));
                return mix(light, mark, d / (r * 1.2));
            });
        }
    } else if (check == BST_CHECKED) {
        paint_check_mark(cv, box_x, box_y, box, mark);
    } else if (check == BST_INDETERMINATE) {
        const double i = 3 * k;
        band(cv, {box_x + i, box_y + i, box_x + box - i, box_y + box - i, 0}, 0, 1e9,
             vertical({mix(mark, Rgb{255, 255, 255}, 0.35), mark}, box_y + i, box_y + box - i));
    }
}

// --- group box -----------------------------------------------------------------------

int group_caption_height(HWND w, HDC dc) {
    SavedDc saved(dc);
    SelectObject(dc, font_of(w));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return tm.tmHeight;
}

void paint_group_box(HWND w, PixelCanvas& cv, const SkinScheme& sc) {
    const RECT rc{0, 0, cv.width(), cv.height()};
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    const Looks looks = looks_of(w);
    parent_background(w, cv.dc(), rc);

    const int th = group_caption_height(w, cv.dc());
    const std::wstring text = window_text(w);
    RECT caption{};
    if (!text.empty()) {
        UINT format = DT_SINGLELINE | DT_TOP | (looks.hide_accel ? DT_HIDEPREFIX : 0);
        switch (style & BS_CENTER) {
            case BS_RIGHT:
                format |= DT_RIGHT;
                break;
            case BS_CENTER:
                format |= DT_CENTER;
                break;
            default:
                format |= DT_LEFT;
        }
        caption = draw_label(cv.dc(), w, text, {9, 0, rc.right - 9, th}, format,
                             looks.enabled ? sc.group_text : sc.text_disabled);
    }
    cv.sync();
    const RECT gap{caption.left - 2, 0, caption.right + 2, th};
    band(cv, {0, th / 2.0, double(rc.right), double(rc.bottom), 3}, 0, 1, solid(sc.group_frame),
         text.empty() ? nullptr : &gap);
}

// --- shared arrow button (combo drop button, up-down arrows) ----------------------

enum class Arrow { up, down, left, right };

void paint_arrow_button(PixelCanvas& cv, const RECT& r, const SkinScheme& sc, bool enabled,
                        bool hot, bool pressed, Arrow arrow) {
    if (r.right - r.left < 3 || r.bottom - r.top < 3) return;
    const Shape s = shape_of(r, 2);
    const double top = r.top, bottom = r.bottom;
    if (!enabled) {
        band(cv, s, 1, 1e9, vertical({{248, 248, 244}, {232, 232, 226}}, top, bottom));
        band(cv, s, 0, 1, solid(sc.frame_disabled));
    } else {
        const Gradient& face = pressed ? sc.arrow_button_pressed
                               : hot   ? sc.arrow_button_hot
                                       : sc.arrow_button;
        band(cv, s, 1, 1e9, vertical(face, top, bottom));
        // A light inner line gives a big enough face its raised edge.
        if (std::min(r.right - r.left, r.bottom - r.top) >= 14)
            band(cv, s, 1, 2, solid(mix(face.top, Rgb{255, 255, 255}, pressed ? 0.2 : 0.55)));
        band(cv, s, 0, 1, solid(sc.arrow_button_outline));
    }
    const double w = r.right - r.left, h = r.bottom - r.top;
    const int shift = pressed ? 1 : 0;
    const double cx = r.left + w / 2 + shift, cy = r.top + h / 2 + shift;
    const double span = std::min(w, h);
    const Rgb c = enabled ? sc.arrow : sc.frame_disabled;
    if (span < 12) {
        // Too small for a chevron to read: a solid, pixel-exact triangle.
        const int rows = span < 8 ? 2 : 3;
        const int mid_x = r.left + (r.right - r.left - 1) / 2 + shift;
        const int mid_y = r.top + (r.bottom - r.top - 1) / 2 + shift;
        for (int i = 0; i < rows; ++i)  // row i is 2i + 1 pixels wide, counted from the tip
            for (int j = -i; j <= i; ++j) switch (arrow) {
                    case Arrow::up:
                        cv.blend(mid_x + j, mid_y - rows / 2 + i, c, 1);
                        break;
                    case Arrow::down:
                        cv.blend(mid_x + j, mid_y + rows / 2 - i, c, 1);
                        break;
                    case Arrow::left:
                        cv.blend(mid_x - rows / 2 + i, mid_y + j, c, 1);
                        break;
                    case Arrow::right:
                        cv.blend(mid_x + rows / 2 - i, mid_y + j, c, 1);
                        break;
                }
        return;
    }
    const double a = std::clamp(span * 0.22, 2.0, 4.0);  // half width of the chevron
    const double b = a * 0.55;
    const double thick = span >= 14 ? 2.0 : 1.6;
    switch (arrow) {
        case Arrow::down:
            stroke(cv, {{cx - a, cy - b}, {cx, cy + b}, {cx + a, cy - b}}, thick, c);
            break;
        case Arrow::up:
            stroke(cv, {{cx - a, cy + b}, {cx, cy - b}, {cx + a, cy + b}}, thick, c);
            break;
        case Arrow::left:
            stroke(cv, {{cx + b, cy - a}, {cx - b, cy}, {cx + b, cy + a}}, thick, c);
            break;
        case Arrow::right:
            stroke(cv, {{cx - b, cy - a}, {cx + b, cy}, {cx - b, cy + a}}, thick, c);
            break;
    }
}

// --- combo box --------------------------------------------------------------------------

Rgb frame_colour(const SkinScheme& sc, bool enabled, bool active) {
    return !enabled ? sc.frame_disabled : active ? sc.frame_active : sc.frame;
}

void paint_combo(HWND w, PixelCanvas& cv, const SkinScheme& sc, const ControlState& st) {
    const RECT rc{0, 0, cv.width(), cv.height()};
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    const Looks looks = looks_of(w);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(w, &info);
    const bool list_only = (style & CBS_DROPDOWNLIST) == CBS_DROPDOWNLIST;
    const bool dropped = SendMessageW(w, CB_GETDROPPEDSTATE, 0, 0) != 0;
    const bool pressed = dropped || (info.stateButton & STATE_SYSTEM_PRESSED);
    const HWND focus = GetFocus();
    const bool focused = focus == w || (focus && focus == info.hwndItem);

    HDC dc = cv.dc();
    SelectObject(dc, font_of(w));
    FillRect(dc, &rc, edit_background(w, dc, looks.enabled));
    const Rgb text_colour = looks.enabled ? from_colorref(GetTextColor(dc)) : sc.text_disabled;

    if (list_only) {
        RECT item = info.rcItem;
        InflateRect(&item, -1, -1);
        const bool selected = focused && !dropped;
        if (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
            // The owner draws its item, as it would without the skin.
            const auto index = static_cast<int>(SendMessageW(w, CB_GETCURSEL, 0, 0));
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_COMBOBOX;
            dis.CtlID = static_cast<UINT>(GetWindowLongPtrW(w, GWLP_ID));
            dis.itemID = static_cast<UINT>(index);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = ODS_COMBOBOXEDIT | (selected ? ODS_SELECTED | ODS_FOCUS : 0) |
                            (looks.enabled ? 0 : ODS_DISABLED);
            dis.hwndItem = w;
            dis.hDC = dc;
            dis.rcItem = item;
            dis.itemData = static_cast<ULONG_PTR>(
                SendMessageW(w, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
            SavedDc saved(dc);
            IntersectClipRect(dc, item.left, item.top, item.right, item.bottom);
            SendMessageW(GetParent(w), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        } else {
            if (selected) FillRect(dc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
            RECT text_area{item.left + 2, item.top, item.right - 1, item.bottom};
            draw_label(dc, w, window_text(w), text_area,
                       DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS,
                       selected ? from_colorref(GetSysColor(COLOR_HIGHLIGHTTEXT)) : text_colour);
            if (selected && !looks.hide_focus) focus_rect(dc, item);
        }
    }
    cv.sync();

    band(cv, shape_of(rc, 0), 0, 1,
         solid(frame_colour(sc, looks.enabled, st.hot || focused || dropped)));
    RECT button = info.rcButton;
    if (IsRectEmpty(&button)) {
        const int bw = GetSystemMetrics(SM_CXVSCROLL);
        button = {rc.right - 2 - bw, 2, rc.right - 2, rc.bottom - 2};
    }
    paint_arrow_button(cv, button, sc, looks.enabled, st.hot, pressed, Arrow::down);
}

// --- up-down control -------------------------------------------------------------------------

struct UpDownLayout {
    RECT parts[2];  // 0 up/right, 1 down/left
    bool attached;  // sits on the right or left edge of its edit box
    bool horizontal;
    HWND buddy;
};

UpDownLayout up_down_layout(HWND w) {
    RECT rc;
    GetClientRect(w, &rc);
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    UpDownLayout l{};
    l.horizontal = (style & UDS_HORZ) != 0;
    l.buddy = reinterpret_cast<HWND>(SendMessageW(w, UDM_GETBUDDY, 0, 0));
    l.attached =
        l.buddy && (style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)) && is_class(l.buddy, L"Edit");
    RECT inner = rc;
    if (l.attached) {
        // The edit box's frame runs on round the arrows; they sit inside it.
        inner.top += 2;
        inner.bottom -= 2;
        if (style & UDS_ALIGNRIGHT)
            inner.right -= 2;
        else
            inner.left += 2;
    }
    if (l.horizontal) {
        const LONG mid = (inner.left + inner.right) / 2;
        l.parts[0] = {mid, inner.top, inner.right, inner.bottom};
        l.parts[1] = {inner.left, inner.top, mid, inner.bottom};
    } else {
        const LONG mid = (inner.top + inner.bottom) / 2;
        l.parts[0] = {inner.left, inner.top, inner.right, mid};
        l.parts[1] = {inner.left, mid, inner.right, inner.bottom};
    }
    return l;
}

void paint_up_down(HWND w, PixelCanvas& cv, const SkinScheme& sc, const ControlState& st) {
    const RECT rc{0, 0, cv.width(), cv.height()};
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    const bool enabled = IsWindowEnabled(w) != FALSE;
    const UpDownLayout l = up_down_layout(w);
    if (l.attached) {
        const bool buddy_enabled = IsWindowEnabled(l.buddy) != FALSE;
        const bool editable = buddy_enabled && !(GetWindowLongW(l.buddy, GWL_STYLE) & ES_READONLY);
        FillRect(cv.dc(), &rc, edit_background(l.buddy, cv.dc(), editable));
        cv.sync();
        const ControlState* buddy = state_of(l.buddy);
        const bool active = GetFocus() == l.buddy || (buddy && buddy->hot) || st.hot_part >= 0;
        Shape s = shape_of(rc, 0);
        if (style & UDS_ALIGNRIGHT)
            s.left -= 4;  // no line on the side that joins the edit box
        else
            s.right += 4;
        band(cv, s, 0, 1, solid(frame_colour(sc, buddy_enabled, active)));
    } else {
        parent_background(w, cv.dc(), rc);
        cv.sync();
    }
    for (int part = 0; part < 2; ++part) {
        const Arrow arrow = l.horizontal ? (part == 0 ? Arrow::right : Arrow::left)
                                         : (part == 0 ? Arrow::up : Arrow::down);
        const bool hot = st.hot_part == part;
        paint_arrow_button(cv, l.parts[part], sc, enabled, hot, hot && st.pressed_part == part,
                           arrow);
    }
}

void exclude_siblings(HWND w, HDC dc) {
    HWND parent = GetParent(w);
    if (!parent) return;
    RECT mine;
    GetWindowRect(w, &mine);
    for (HWND s = GetWindow(parent, GW_CHILD); s; s = GetWindow(s, GW_HWNDNEXT)) {
        RECT r, overlap;
        if (s == w || !IsWindowVisible(s) || !GetWindowRect(s, &r) ||
            !IntersectRect(&overlap, &r, &mine))
            continue;
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&overlap), 2);
        ExcludeClipRect(dc, overlap.left, overlap.top, overlap.right, overlap.bottom);
    }
}

}  // namespace

bool is_class(HWND w, const wchar_t* name) {
    wchar_t buf[64] = {};
    return w && GetClassNameW(w, buf, 64) > 0 && lstrcmpiW(buf, name) == 0;
}

void paint_client(HWND w, HDC target, const ControlState& st) {
    if (!st.scheme) return;
    RECT rc;
    GetClientRect(w, &rc);
    PixelCanvas cv(target, rc.right, rc.bottom);
    if (!cv.ok()) return;
    SavedDc saved_canvas(cv.dc());
    SavedDc saved_target(target);
    const SkinScheme& sc = *st.scheme;
    switch (st.kind) {
        case SkinKind::push_button:
            paint_push_button(w, cv, sc, st);
            break;
        case SkinKind::check_box:
            paint_check_or_radio(w, cv, sc, st, false);
            break;
        case SkinKind::radio_button:
            paint_check_or_radio(w, cv, sc, st, true);
            break;
        case SkinKind::group_box:
            paint_group_box(w, cv, sc);
            // The controls inside are siblings, not children: they may have
            // painted already, and nothing clips them out for us.
            exclude_siblings(w, target);
            break;
        case SkinKind::combo_box: {
            paint_combo(w, cv, sc, st);
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            if (GetComboBoxInfo(w, &info) && info.hwndItem && info.hwndItem != w) {
                RECT edit;
                GetWindowRect(info.hwndItem, &edit);
                MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&edit), 2);
                ExcludeClipRect(target, edit.left, edit.top, edit.right, edit.bottom);
            }
            break;
        }
        case SkinKind::up_down:
            paint_up_down(w, cv, sc, st);
            break;
        default:
            return;
    }
    cv.copy_to(target);
}

bool paint_frame(HWND w, const ControlState& st, HRGN update, LRESULT (*system_paint)(HWND, HRGN)) {
    if (!st.scheme) return false;
    RECT wr;
    GetWindowRect(w, &wr);
    POINT client{0, 0};
    ClientToScreen(w, &client);
    const int thick = std::min(client.x - wr.left, client.y - wr.top);
    if (thick <= 0) return false;

    const LONG style = GetWindowLongW(w, GWL_STYLE);
    if (style & (WS_HSCROLL | WS_VSCROLL)) {
        // Scroll bars stay the system's: it paints them, and nothing else
        // (a themed edit box would fill its whole frame rectangle).
        RECT cr;
        GetClientRect(w, &cr);
        MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&cr), 2);
        UniqueRegion bars(
            CreateRectRgn(wr.left + thick, wr.top + thick, wr.right - thick, wr.bottom - thick));
        UniqueRegion client_area(CreateRectRgnIndirect(&cr));
        CombineRgn(bars.get(), bars.get(), client_area.get(), RGN_DIFF);
        if (update && update != reinterpret_cast<HRGN>(1))
            CombineRgn(bars.get(), bars.get(), update, RGN_AND);
        system_paint(w, bars.get());
    }

    WindowDc dc(w, true);
    if (!dc.get()) return true;
    const int ww = wr.right - wr.left, wh = wr.bottom - wr.top;
    const bool enabled = IsWindowEnabled(w) != FALSE;
    const bool active = st.kind == SkinKind::edit && (GetFocus() == w || st.hot);
    const Rgb c = frame_colour(*st.scheme, enabled, active);
    fill_solid(dc.get(), {0, 0, ww, 1}, c);
    fill_solid(dc.get(), {0, wh - 1, ww, wh}, c);
    fill_solid(dc.get(), {0, 1, 1, wh - 1}, c);
    fill_solid(dc.get(), {ww - 1, 1, ww, wh - 1}, c);
    if (thick > 1) {
        SavedDc saved(dc.get());
        ExcludeClipRect(dc.get(), thick, thick, ww - thick, wh - thick);
        const bool editable = enabled && !(style & ES_READONLY) && st.kind == SkinKind::edit;
        const RECT ring{1, 1, ww - 1, wh - 1};
        FillRect(dc.get(), &ring,
                 st.kind == SkinKind::edit ? edit_background(w, dc.get(), editable)
                                           : GetSysColorBrush(COLOR_WINDOW));
    }
    return true;
}

int up_down_part(HWND w, POINT pt) {
    const UpDownLayout l = up_down_layout(w);
    for (int part = 0; part < 2; ++part)
        if (PtInRect(&l.parts[part], pt)) return part;
    return -1;
}

}  // namespace quorvel::win32::skin
