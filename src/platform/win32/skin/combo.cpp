// Drop-down combo boxes: their behaviour under the skin and their painting
// (field, flat frame, drop button). The dropped list carries the frame of
// frame.cpp; an editable combo box's edit box is an edit box of its own.
#include <windows.h>

#include <algorithm>
#include <iterator>

#include "platform/win32/base/text.h"
#include "platform/win32/skin/arrow_button.h"
#include "platform/win32/skin/client_paint.h"
#include "platform/win32/skin/control_looks.h"
#include "platform/win32/skin/dc_scopes.h"
#include "platform/win32/skin/hot_tracking.h"

namespace quorvel::win32::skin {
namespace {

COMBOBOXINFO info_of(HWND w) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(w, &info);
    return info;
}

// The owner draws the selected item, as it would without the skin.
void owner_draws_item(HWND w, HDC dc, const RECT& item, bool selected, bool enabled) {
    const auto index = static_cast<int>(SendMessageW(w, CB_GETCURSEL, 0, 0));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = static_cast<UINT>(GetWindowLongPtrW(w, GWLP_ID));
    dis.itemID = static_cast<UINT>(index);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState =
        ODS_COMBOBOXEDIT | (selected ? ODS_SELECTED | ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
    dis.hwndItem = w;
    dis.hDC = dc;
    dis.rcItem = item;
    dis.itemData =
        static_cast<ULONG_PTR>(SendMessageW(w, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    SavedDc saved(dc);
    IntersectClipRect(dc, item.left, item.top, item.right, item.bottom);
    SendMessageW(GetParent(w), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

// The field of a combo box without an edit box: the selected item's text.
void paint_field(HWND w, HDC dc, const RECT& item, bool selected, const Looks& looks,
                 Rgb text_colour) {
    if (GetWindowLongW(w, GWL_STYLE) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
        owner_draws_item(w, dc, item, selected, looks.enabled);
        return;
    }
    if (selected) FillRect(dc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
    RECT text_area{item.left + 2, item.top, item.right - 1, item.bottom};
    draw_label(dc, w, window_text(w), text_area,
               DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS,
               selected ? from_colorref(GetSysColor(COLOR_HIGHLIGHTTEXT)) : text_colour);
    if (selected && !looks.hide_focus) focus_rect(dc, item);
}

void paint_combo(HWND w, PixelCanvas& cv, const SkinScheme& sc, const ControlState& st,
                 const COMBOBOXINFO& info) {
    const RECT rc{0, 0, cv.width(), cv.height()};
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    const Looks looks = looks_of(w);
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
        paint_field(w, dc, item, focused && !dropped, looks, text_colour);
    }
    cv.sync();

    band(cv, shape_of(rc, 0), 0, 1,
         solid(frame_colour(sc, looks.enabled, st.is_hot() || focused || dropped)));
    RECT button = info.rcButton;
    if (IsRectEmpty(&button)) {
        const int bw = GetSystemMetrics(SM_CXVSCROLL);
        button = {rc.right - 2 - bw, 2, rc.right - 2, rc.bottom - 2};
    }
    paint_arrow_button(cv, button, sc, looks.enabled, st.is_hot(), pressed, Arrow::down);
}

void paint(HWND w, PixelCanvas& cv, const SkinScheme& sc, const ControlState& st, HDC target) {
    const COMBOBOXINFO info = info_of(w);
    paint_combo(w, cv, sc, st, info);
    if (info.hwndItem && info.hwndItem != w) {
        // The edit box paints itself: our copy must not cover it.
        RECT edit;
        GetWindowRect(info.hwndItem, &edit);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&edit), 2);
        ExcludeClipRect(target, edit.left, edit.top, edit.right, edit.bottom);
    }
}

// Leaving the combo box for its own edit box keeps it hot.
int hot_after_leave(HWND w) {
    const HWND edit = info_of(w).hwndItem;
    const ControlState* es = edit != w ? state_of(edit) : nullptr;
    return es && es->is_hot() ? 0 : -1;
}

const HotTracking combo_hot{whole_control, hot_after_leave, repaint_later};

// Messages after which the system combo box may have drawn its own field or
// button straight onto the screen (a selection made in the list, for one);
// ours is drawn over it at once.
bool combo_may_paint(UINT m) {
    static constexpr UINT messages[] = {
        WM_SETFOCUS,  WM_KILLFOCUS,      WM_ENABLE,    WM_SETTEXT,      WM_UPDATEUISTATE,
        WM_COMMAND,   WM_KEYDOWN,        WM_CHAR,      WM_MOUSEWHEEL,   WM_LBUTTONDOWN,
        WM_LBUTTONUP, WM_CAPTURECHANGED, CB_SETCURSEL, CB_SELECTSTRING, CB_SHOWDROPDOWN};
    return std::ranges::find(messages, m) != std::end(messages);
}

}  // namespace

LRESULT combo_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    if (const auto r = client_paint_message(w, m, wp, st, paint)) return *r;
    if (const auto r = track_hot(w, m, wp, lp, st, combo_hot)) return *r;
    if (m == WM_CREATE) {
        const LRESULT r = call_system(w, m, wp, lp);
        if (r != -1 && !st.detached) put_on_list_of(w);
        return r;
    }
    const LRESULT r = call_system(w, m, wp, lp);
    if (combo_may_paint(m) && IsWindow(w)) paint_now(w, st, paint);
    return r;
}

}  // namespace quorvel::win32::skin
