#include "platform/win32/skin/control_looks.h"

#include <algorithm>

#include "platform/win32/skin/canvas.h"
#include "platform/win32/skin/dc_scopes.h"

namespace quorvel::win32::skin {

bool is_class(HWND w, const wchar_t* name) {
    wchar_t buf[64] = {};
    return w && GetClassNameW(w, buf, 64) > 0 && lstrcmpiW(buf, name) == 0;
}

Looks looks_of(HWND w) {
    const LRESULT ui = SendMessageW(w, WM_QUERYUISTATE, 0, 0);
    return {IsWindowEnabled(w) != FALSE, GetFocus() == w, (ui & UISF_HIDEFOCUS) != 0,
            (ui & UISF_HIDEACCEL) != 0};
}

HFONT font_of(HWND w) {
    if (auto f = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0))) return f;
    return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

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

void focus_rect(HDC dc, RECT r) {
    SavedDc saved(dc);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &r);
}

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

HBRUSH edit_background(HWND w, HDC dc, bool editable) {
    HWND parent = GetParent(w);
    HBRUSH brush = nullptr;
    if (parent)
        brush = reinterpret_cast<HBRUSH>(
            SendMessageW(parent, editable ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                         reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w)));
    return brush ? brush : GetSysColorBrush(editable ? COLOR_WINDOW : COLOR_BTNFACE);
}

Rgb frame_colour(const SkinScheme& sc, bool enabled, bool active) {
    return !enabled ? sc.frame_disabled : active ? sc.frame_active : sc.frame;
}

}  // namespace quorvel::win32::skin
