// Up-down controls: their behaviour under the skin (each arrow hot and
// pressed on its own) and their painting, joined to the frame of the edit
// box they sit on.
#include <windows.h>
// commctrl.h needs what windows.h declares: a block of its own keeps the order
#include <commctrl.h>

#include "platform/win32/skin/arrow_button.h"
#include "platform/win32/skin/client_paint.h"
#include "platform/win32/skin/control_looks.h"
#include "platform/win32/skin/hot_tracking.h"

namespace quorvel::win32::skin {
namespace {

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

// The arrow under a client point: 0 up/right, 1 down/left, -1 none.
int part_under(HWND w, POINT pt) {
    const UpDownLayout l = up_down_layout(w);
    for (int part = 0; part < 2; ++part)
        if (PtInRect(&l.parts[part], pt)) return part;
    return -1;
}

// An attached control carries on its edit box's frame and background.
void paint_edit_side(HWND w, PixelCanvas& cv, const SkinScheme& sc, const ControlState& st,
                     HWND buddy) {
    const RECT rc{0, 0, cv.width(), cv.height()};
    const bool buddy_enabled = IsWindowEnabled(buddy) != FALSE;
    const bool editable = buddy_enabled && !(GetWindowLongW(buddy, GWL_STYLE) & ES_READONLY);
    FillRect(cv.dc(), &rc, edit_background(buddy, cv.dc(), editable));
    cv.sync();
    const ControlState* buddy_state = state_of(buddy);
    const bool active =
        GetFocus() == buddy || (buddy_state && buddy_state->is_hot()) || st.is_hot();
    Shape s = shape_of(rc, 0);
    if (GetWindowLongW(w, GWL_STYLE) & UDS_ALIGNRIGHT)
        s.left -= 4;  // no line on the side that joins the edit box
    else
        s.right += 4;
    band(cv, s, 0, 1, solid(frame_colour(sc, buddy_enabled, active)));
}

void paint(HWND w, PixelCanvas& cv, const SkinScheme& sc, const ControlState& st, HDC) {
    const bool enabled = IsWindowEnabled(w) != FALSE;
    const UpDownLayout l = up_down_layout(w);
    if (l.attached) {
        paint_edit_side(w, cv, sc, st, l.buddy);
    } else {
        parent_background(w, cv.dc(), {0, 0, cv.width(), cv.height()});
        cv.sync();
    }
    for (int part = 0; part < 2; ++part) {
        const Arrow arrow = l.horizontal ? (part == 0 ? Arrow::right : Arrow::left)
                                         : (part == 0 ? Arrow::up : Arrow::down);
        const bool hot = st.hot == part;
        paint_arrow_button(cv, l.parts[part], sc, enabled, hot, hot && st.pressed_part == part,
                           arrow);
    }
}

const HotTracking up_down_hot{part_under, nothing_hot, repaint_later, true};

}  // namespace

LRESULT up_down_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    if (const auto r = client_paint_message(w, m, wp, st, paint)) return *r;
    if (const auto r = track_hot(w, m, wp, lp, st, up_down_hot)) return *r;
    switch (m) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            st.pressed_part = st.hot = part_under(w, client_point(lp));
            InvalidateRect(w, nullptr, FALSE);
            return call_system(w, m, wp, lp);
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED: {
            const LRESULT r = call_system(w, m, wp, lp);
            if (st.pressed_part >= 0) {
                st.pressed_part = -1;
                InvalidateRect(w, nullptr, FALSE);
            }
            return r;
        }
        case WM_ENABLE: {
            const LRESULT r = call_system(w, m, wp, lp);
            InvalidateRect(w, nullptr, FALSE);
            return r;
        }
        default:
            return call_system(w, m, wp, lp);
    }
}

}  // namespace quorvel::win32::skin
