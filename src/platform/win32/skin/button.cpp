// Push buttons, check boxes, radio buttons and group boxes: their behaviour
// under the skin and their painting.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "platform/win32/base/text.h"
#include "platform/win32/skin/client_paint.h"
#include "platform/win32/skin/control_looks.h"
#include "platform/win32/skin/dc_scopes.h"
#include "platform/win32/skin/hot_tracking.h"

namespace quorvel::win32::skin {
namespace {

int scaled(HDC dc, int pixels_at_96_dpi) {
    return MulDiv(pixels_at_96_dpi, GetDeviceCaps(dc, LOGPIXELSY), 96);
}

UINT horizontal_format(LONG style, UINT by_default) {
    switch (style & BS_CENTER) {
        case BS_LEFT:
            return DT_LEFT;
        case BS_RIGHT:
            return DT_RIGHT;
        case BS_CENTER:
            return DT_CENTER;
        default:
            return by_default;
    }
}

UINT button_text_format(LONG style, bool centred_by_default, bool hide_accel) {
    UINT f = horizontal_format(style, centred_by_default ? DT_CENTER : DT_LEFT);
    f |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    const LONG vertical_align = style & BS_VCENTER;
    f |= vertical_align == BS_TOP ? DT_TOP : vertical_align == BS_BOTTOM ? DT_BOTTOM : DT_VCENTER;
    if (hide_accel) f |= DT_HIDEPREFIX;
    return f;
}

// --- push button -----------------------------------------------------------------

void paint_push_face(PixelCanvas& cv, const SkinScheme& sc, bool sunk, bool ring_hot,
                     bool ring_default) {
    const RECT rc{0, 0, cv.width(), cv.height()};
    const Shape outer = shape_of(rc, 3);
    const double h = cv.height();
    const Gradient face = sunk ? sc.button_face_pressed : sc.button_face;
    band(cv, outer, 1, 1e9, vertical(face, 1, h - 1));
    if (!sunk) {
        // The lowest rows turn a shade darker: the face seems to bulge.
        const Rgb shade = mix(sc.button_face.bottom, Rgb{0, 0, 0}, 0.09);
        band(cv, {1, h - 3, rc.right - 1.0, h - 1, 2}, 0, 1e9, [&](int, int y) {
            return y == int(h) - 2 ? shade : mix(sc.button_face.bottom, shade, 0.5);
        });
    }
    if (ring_hot)
        band(cv, outer, 1, 3, vertical(sc.hot_ring, 1, h - 1));
    else if (ring_default)
        band(cv, outer, 1, 3, vertical(sc.default_ring, 1, h - 1));
    band(cv, outer, 0, 1, solid(sc.button_outline));
}

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

    if (!looks.enabled) {
        const Shape outer = shape_of(rc, 3);
        band(cv, outer, 1, 1e9, solid(sc.button_face_disabled));
        band(cv, outer, 0, 1, solid(sc.frame_disabled));
    } else {
        paint_push_face(cv, sc, pushed || checked, st.is_hot() && !pushed,
                        (is_default || looks.focused) && !pushed);
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

// The mark in a box of `box` pixels at x, y for the button's check state.
void paint_mark(PixelCanvas& cv, double x, double y, int box, int check, bool radio, Rgb mark) {
    const double k = box / 13.0;
    if (radio) {
        if (check == BST_CHECKED) {
            const double c = box / 2.0, r = 2.9 * k;
            const Shape dot{x + c - r, y + c - r, x + c + r, y + c + r, r};
            const Rgb light = mix(mark, Rgb{255, 255, 255}, 0.45);
            band(cv, dot, 0, 1e9, [&](int px, int py) {
                const double d =
                    std::hypot(px + 0.5 - (x + c - 0.8 * k), py + 0.5 - (y + c - 0.8 * k));
                return mix(light, mark, d / (r * 1.2));
            });
        }
    } else if (check == BST_CHECKED) {
        paint_check_mark(cv, x, y, box, mark);
    } else if (check == BST_INDETERMINATE) {
        const double i = 3 * k;
        band(cv, {x + i, y + i, x + box - i, y + box - i, 0}, 0, 1e9,
             vertical({mix(mark, Rgb{255, 255, 255}, 0.35), mark}, y + i, y + box - i));
    }
}

void paint_check_or_radio(HWND w, PixelCanvas& cv, const SkinScheme& sc, const ControlState& st,
                          bool radio) {
    const RECT rc{0, 0, cv.width(), cv.height()};
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    const Looks looks = looks_of(w);
    const bool pushed = (SendMessageW(w, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
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
        if (st.is_hot() && !pushed) band(cv, outer, 1, 3, diagonal(sc.hot_ring, outer));
    }
    band(cv, outer, 0, 1, solid(looks.enabled ? sc.box_border : sc.frame_disabled));
    paint_mark(cv, box_x, box_y, box, check, radio, looks.enabled ? sc.mark : sc.frame_disabled);
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
        const UINT format = DT_SINGLELINE | DT_TOP | (looks.hide_accel ? DT_HIDEPREFIX : 0) |
                            horizontal_format(style, DT_LEFT);
        caption = draw_label(cv.dc(), w, text, {9, 0, rc.right - 9, th}, format,
                             looks.enabled ? sc.group_text : sc.text_disabled);
    }
    cv.sync();
    const RECT gap{caption.left - 2, 0, caption.right + 2, th};
    band(cv, {0, th / 2.0, double(rc.right), double(rc.bottom), 3}, 0, 1, solid(sc.group_frame),
         text.empty() ? nullptr : &gap);
}

// The controls inside a group box are its siblings, not its children: they
// may have painted already, and nothing clips them out for us.
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

void paint_button(HWND w, PixelCanvas& cv, const SkinScheme& sc, const ControlState& st,
                  HDC target) {
    switch (st.kind) {
        case SkinKind::check_box:
        case SkinKind::radio_button:
            paint_check_or_radio(w, cv, sc, st, st.kind == SkinKind::radio_button);
            break;
        case SkinKind::group_box:
            paint_group_box(w, cv, sc);
            exclude_siblings(w, target);
            break;
        default:
            paint_push_button(w, cv, sc, st);
    }
}

// --- behaviour -----------------------------------------------------------------------

int inside_client(HWND w, POINT pt) {
    RECT r;
    GetClientRect(w, &r);
    return PtInRect(&r, pt) ? 0 : -1;
}

const HotTracking button_hot{inside_client, nothing_hot, repaint_later};

// Messages on which the system button paints at once instead of asking for
// a paint. Its drawing is kept off the screen (redraw off) and ours follows,
// so the system's look never flashes up.
bool button_paints_directly(UINT m) {
    static constexpr UINT messages[] = {WM_SETTEXT,       WM_SETFOCUS, WM_KILLFOCUS, WM_ENABLE,
                                        WM_UPDATEUISTATE, BM_SETSTATE, BM_SETCHECK,  BM_SETSTYLE};
    return std::ranges::find(messages, m) != std::end(messages);
}

}  // namespace

LRESULT button_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    if (const auto r = client_paint_message(w, m, wp, st, paint_button)) return *r;
    if (const auto r = track_hot(w, m, wp, lp, st, button_hot)) return *r;
    if (!button_paints_directly(m)) return call_system(w, m, wp, lp);
    // A hidden window must stay hidden: redraw on would show it.
    const bool visible = (GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible) call_system(w, WM_SETREDRAW, FALSE, 0);
    const LRESULT r = call_system(w, m, wp, lp);
    if (visible && IsWindow(w)) {
        call_system(w, WM_SETREDRAW, TRUE, 0);
        if (st.detached)
            redraw_whole(w);
        else
            paint_now(w, st, paint_button);
    }
    return r;
}

}  // namespace quorvel::win32::skin
