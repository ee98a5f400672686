#include "platform/win32/skin/hot_tracking.h"

namespace quorvel::win32::skin {
namespace {

// WM_MOUSELEAVE comes only when asked for, once per asking.
void ask_for_leave(HWND w, ControlState& st) {
    if (st.tracking) return;
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, w, 0};
    st.tracking = TrackMouseEvent(&tme) != FALSE;
}

void become(HWND w, ControlState& st, int hot, const HotTracking& how, bool show_anyway) {
    if (hot == st.hot && !show_anyway) return;
    st.hot = hot;
    how.show(w, st);
}

}  // namespace

std::optional<LRESULT> track_hot(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st,
                                 const HotTracking& how) {
    if (m != WM_MOUSEMOVE && m != WM_MOUSELEAVE) return std::nullopt;
    const LRESULT r = call_system(w, m, wp, lp);
    if (m == WM_MOUSEMOVE) {
        ask_for_leave(w, st);
        become(w, st, how.under(w, client_point(lp)), how, false);
    } else {
        st.tracking = false;
        become(w, st, how.after_leave(w), how, how.show_every_leave);
    }
    return r;
}

int whole_control(HWND, POINT) {
    return 0;
}

int nothing_hot(HWND) {
    return -1;
}

void repaint_later(HWND w, ControlState&) {
    InvalidateRect(w, nullptr, FALSE);
}

POINT client_point(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

}  // namespace quorvel::win32::skin
