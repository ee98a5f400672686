// Edit boxes and the dropped lists of combo boxes: a flat frame in place of
// the system's edge, which shows whether the box is active, and the
// neighbours (the combo box it is part of, an up-down control on it) that
// show the same.
#include <windows.h>
// commctrl.h needs what windows.h declares: a block of its own keeps the order
#include <commctrl.h>

#include <algorithm>

#include "platform/win32/base/handles.h"
#include "platform/win32/skin/canvas.h"
#include "platform/win32/skin/control_looks.h"
#include "platform/win32/skin/dc_scopes.h"
#include "platform/win32/skin/hot_tracking.h"

namespace quorvel::win32::skin {
namespace {

// `update` is the WM_NCPAINT region, or 1 for all.
LRESULT system_nc_paint(HWND w, HRGN update) {
    return call_system(w, WM_NCPAINT, reinterpret_cast<WPARAM>(update), 0);
}

// Scroll bars stay the system's: it paints them, and nothing else of the
// frame (a themed edit box would fill its whole frame rectangle).
void system_scroll_bars(HWND w, const RECT& wr, int thick, HRGN update) {
    RECT cr;
    GetClientRect(w, &cr);
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&cr), 2);
    UniqueRegion bars(
        CreateRectRgn(wr.left + thick, wr.top + thick, wr.right - thick, wr.bottom - thick));
    UniqueRegion client_area(CreateRectRgnIndirect(&cr));
    CombineRgn(bars.get(), bars.get(), client_area.get(), RGN_DIFF);
    if (update && update != reinterpret_cast<HRGN>(1))
        CombineRgn(bars.get(), bars.get(), update, RGN_AND);
    system_nc_paint(w, bars.get());
}

// The one-pixel line round the window, and the background colour in the
// rest of a thicker frame.
void paint_lines(HWND w, const ControlState& st, HDC dc, const RECT& wr, int thick) {
    const int ww = wr.right - wr.left, wh = wr.bottom - wr.top;
    const bool enabled = IsWindowEnabled(w) != FALSE;
    const bool active = st.kind == SkinKind::edit && (GetFocus() == w || st.is_hot());
    const Rgb c = frame_colour(*st.scheme, enabled, active);
    fill_solid(dc, {0, 0, ww, 1}, c);
    fill_solid(dc, {0, wh - 1, ww, wh}, c);
    fill_solid(dc, {0, 1, 1, wh - 1}, c);
    fill_solid(dc, {ww - 1, 1, ww, wh - 1}, c);
    if (thick <= 1) return;
    SavedDc saved(dc);
    ExcludeClipRect(dc, thick, thick, ww - thick, wh - thick);
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    const bool editable = enabled && !(style & ES_READONLY) && st.kind == SkinKind::edit;
    const RECT ring{1, 1, ww - 1, wh - 1};
    FillRect(dc, &ring,
             st.kind == SkinKind::edit ? edit_background(w, dc, editable)
                                       : GetSysColorBrush(COLOR_WINDOW));
}

// Returns false when the window has no frame to paint, so the system's
// painting can go ahead.
bool paint_frame(HWND w, const ControlState& st, HRGN update) {
    if (!st.scheme) return false;
    RECT wr;
    GetWindowRect(w, &wr);
    POINT client{0, 0};
    ClientToScreen(w, &client);
    const int thick = std::min(client.x - wr.left, client.y - wr.top);
    if (thick <= 0) return false;
    if (GetWindowLongW(w, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL))
        system_scroll_bars(w, wr, thick, update);
    WindowDc dc(w, true);
    if (dc.get()) paint_lines(w, st, dc.get(), wr, thick);
    return true;
}

void refresh_frame(HWND w, const ControlState& st) {
    if (!st.detached && IsWindowVisible(w)) paint_frame(w, st, reinterpret_cast<HRGN>(1));
}

bool cursor_over(HWND w) {
    POINT pt;
    RECT r;
    return GetCursorPos(&pt) && GetWindowRect(w, &r) && PtInRect(&r, pt);
}

// The combo box that an edit box is part of, when that combo box is skinned.
HWND skinned_combo_of(HWND edit) {
    HWND parent = GetParent(edit);
    ControlState* ps = state_of(parent);
    return ps && ps->kind == SkinKind::combo_box ? parent : nullptr;
}

// An edit box's look shows in its neighbours: the combo box it belongs to
// and an up-down control sitting on it.
void edit_changed(HWND edit, const ControlState& st) {
    if (HWND combo = skinned_combo_of(edit)) {
        ControlState* cs = state_of(combo);
        cs->hot = st.is_hot() || cursor_over(combo) ? 0 : -1;
        InvalidateRect(combo, nullptr, FALSE);
    }
    HWND parent = GetParent(edit);
    if (!parent) return;
    for (HWND s = GetWindow(parent, GW_CHILD); s; s = GetWindow(s, GW_HWNDNEXT)) {
        ControlState* ss = state_of(s);
        if (ss && ss->kind == SkinKind::up_down &&
            reinterpret_cast<HWND>(SendMessageW(s, UDM_GETBUDDY, 0, 0)) == edit)
            InvalidateRect(s, nullptr, FALSE);
    }
}

void show_change(HWND w, ControlState& st) {
    refresh_frame(w, st);
    edit_changed(w, st);
}

const HotTracking frame_hot{whole_control, nothing_hot, show_change};

}  // namespace

LRESULT frame_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    if (const auto r = track_hot(w, m, wp, lp, st, frame_hot)) return *r;
    switch (m) {
        case WM_NCPAINT:
            if (paint_frame(w, st, reinterpret_cast<HRGN>(wp))) return 0;
            return call_system(w, m, wp, lp);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE: {
            const LRESULT r = call_system(w, m, wp, lp);
            if (!st.detached && IsWindow(w)) show_change(w, st);
            return r;
        }
        default:
            return call_system(w, m, wp, lp);
    }
}

}  // namespace quorvel::win32::skin
