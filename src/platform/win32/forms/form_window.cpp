#include "platform/win32/forms/form_window.h"

#include <commctrl.h>

#include "platform/win32/base/dpi.h"
#include "platform/win32/base/text.h"
#include "platform/win32/forms/form_parts.h"

namespace quorvel::win32 {

using form_parts::is_standard;
using form_parts::to_rect;
using ui::ControlId;
using ui::Kind;

namespace {

bool overlaps(const RECT& a, const RECT& b) {
    RECT out;
    return IntersectRect(&out, &a, &b) != FALSE;
}

}  // namespace

FormWindow::FormWindow(ui::Form& form, HINSTANCE instance, HWND owner, PictureStore& pictures,
                       const std::function<void()>& session_end)
    : form_(form),
      instance_(instance),
      owner_(owner),
      pictures_(pictures),
      session_end_(session_end) {}

// The window goes while every member it may use is still here.
FormWindow::~FormWindow() {
    if (!hwnd_) return;
    form_.attach(nullptr);
    destroy_quietly();
}

void FormWindow::form_gone() {
    destroy_quietly();
}

void FormWindow::destroy_quietly() {
    if (!hwnd_) return;
    for (HWND c : children_)
        if (c && GetWindowLongPtrW(c, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
            SetWindowLongPtrW(c, GWLP_USERDATA, 0);
    SetWindowLongPtrW(hwnd_.get(), GWLP_USERDATA, 0);
    reenable_others();
    children_.assign(children_.size(), nullptr);
    hwnd_.reset();
}

bool FormWindow::create() {
    const ui::WindowDesign& d = form_.design();
    const DWORD style = d.framed ? (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN)
                                 : (WS_POPUP | WS_CLIPCHILDREN);
    int x = (GetSystemMetrics(SM_CXSCREEN) - d.width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - d.height) / 2;
    HWND hwnd =
        CreateWindowExW(0, d.framed ? dialog_class : main_class, widen(form_.caption()).c_str(),
                        style, x, y, d.width, d.height, owner_, nullptr, instance_, this);
    if (!hwnd) return false;
    hwnd_.reset(hwnd);
    form_.attach(this);

    children_.assign(d.controls.size(), nullptr);
    buttons_.assign(d.controls.size(), {});
    // The window's monitor is known only once it exists: size it for that scale.
    const ui::Scale scale = window_scale(hwnd);
    apply_scale(scale);
    if (!scale.identity()) {
        const SIZE outer = outer_size(scale);
        x = (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2;
        SetWindowPos(hwnd, nullptr, x, y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Parents first: the title buttons live inside a control listed after them.
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = 1; row <= static_cast<int>(d.controls.size()); ++row) {
            const bool nested = d[ControlId{row}].parent != ui::window_id;
            if (nested == (pass == 1)) create_child(ControlId{row});
        }
    }
    // Stacking order as designed: each control directly beneath the one before.
    for (int row = 1; row <= static_cast<int>(d.controls.size()); ++row) {
        if (HWND c = child(ControlId{row}))
            SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    report_rect();
    loading_ = false;
    return true;
}

void FormWindow::create_child(ControlId id) {
    const ui::ControlDesign& c = form_.control_design(id);
    if (c.kind == Kind::file_dialog) return;  // a component, not a window
    HWND parent = c.parent == ui::window_id ? hwnd_.get() : child(c.parent);
    const std::wstring text = widen(c.text);
    const ui::Rect& p = form_.place(id);
    const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(child_id(id)));
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    HWND hwnd = nullptr;
    switch (c.kind) {
        case Kind::edit_box:
            hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, text.c_str(),
                                   style | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, p.left, p.top,
                                   p.width, p.height, parent, menu, instance_, nullptr);
            if (hwnd) SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
            break;
        case Kind::button:
            style |= WS_TABSTOP | (form_.design().framed ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            hwnd = CreateWindowExW(0, WC_BUTTONW, text.c_str(), style, p.left, p.top, p.width,
                                   p.height, parent, menu, instance_, nullptr);
            break;
        case Kind::combo_box:
            hwnd = CreateWindowExW(
                0, WC_COMBOBOXW, L"", style | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, p.left,
                p.top, p.width, p.height + form_.scale().px(200), parent, menu, instance_, nullptr);
            break;
        default:
            if (c.kind == Kind::picture_box) style |= WS_CLIPCHILDREN;  // 标题栏4 holds buttons
            hwnd = CreateWindowExW(0, control_class, text.c_str(), style, p.left, p.top, p.width,
                                   p.height, parent, menu, instance_, this);
            if (hwnd && c.kind == Kind::timer)
                SetTimer(hwnd, form_parts::tick_timer_id, static_cast<UINT>(c.timer_period_ms),
                         nullptr);
            break;
    }
    children_[static_cast<std::size_t>(id.row - 1)] = hwnd;
    if (hwnd && is_standard(c.kind)) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_for(c.look)), FALSE);
        if (c.kind == Kind::combo_box) setup_combo(hwnd, c);
    }
}

void FormWindow::setup_combo(HWND combo, const ui::ControlDesign& d) {
    for (int i = 0; i < d.item_count; ++i)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(i).c_str()));
    fit_combo_items(combo);
}

// After a font is set: one pixel more than the font's items.
void FormWindow::fit_combo_items(HWND combo) {
    const auto item = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0)) + 1;
    SendMessageW(combo, CB_SETITEMHEIGHT, 0, item);
    place_combo(combo, form_.place(ControlId{GetDlgCtrlID(combo) - 1000}));
}

void FormWindow::place_combo(HWND combo, const ui::Rect& p) {
    const auto item = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    if (item <= 0) return;
    // The dropped list shows at least 160 designed pixels of items.
    const int room = form_.scale().px(160);
    const int visible = (room + item - 1) / item;
    SendMessageW(combo, CB_SETMINVISIBLE, static_cast<WPARAM>(visible), 0);
    SetWindowPos(combo, nullptr, p.left, p.top, p.width, p.height + visible * item + 4,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::show_controls() {
    for (int row = 1; row <= static_cast<int>(children_.size()); ++row) {
        const ControlId id{row};
        if (HWND c = child(id); c && form_.control_design(id).shown) ShowWindow(c, SW_SHOWNA);
    }
}

void FormWindow::show() {
    ShowWindow(hwnd_.get(), SW_SHOWNORMAL);
    UpdateWindow(hwnd_.get());
    if (form_.design().framed) {
        // First tab stop: the hour list.
        const auto& d = form_.design();
        for (int row = static_cast<int>(d.controls.size()); row >= 1; --row) {
            HWND c = child(ControlId{row});
            if (c && (GetWindowLongW(c, GWL_STYLE) & WS_TABSTOP)) {
                SetFocus(c);
                break;
            }
        }
    }
}

void FormWindow::report_rect() {
    RECT outer{}, client{};
    GetWindowRect(hwnd_.get(), &outer);
    GetClientRect(hwnd_.get(), &client);
    form_.report_window_rect(
        {outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top},
        client.bottom - client.top);
}

void FormWindow::reenable_others() {
    for (HWND w : disabled_)
        if (IsWindow(w)) EnableWindow(w, TRUE);
    disabled_.clear();
}

// --- FormView --------------------------------------------------------------

void FormWindow::text_changed(ControlId id, const std::string& text) {
    HWND c = child(id);
    if (!c) return;
    const std::wstring wide = widen(text);
    // The clock rewrites most of its fields unchanged every second; the
    // screen already shows them, so only a change is drawn.
    if (GetWindowTextLengthW(c) == static_cast<int>(wide.size()) && window_text(c) == wide) return;
    SetWindowTextW(c, wide.c_str());
    const ui::ControlDesign& d = form_.control_design(id);
    if (is_standard(d.kind) || !IsWindowVisible(c)) return;
    // On the screen before the write returns, with whatever lies over it.
    RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    repaint_transparent_above(id, to_rect(form_.place(id)), true);
}

void FormWindow::caption_changed(const std::string& caption) {
    SetWindowTextW(hwnd_.get(), widen(caption).c_str());
}

void FormWindow::control_moved(ControlId id, const ui::Rect& place) {
    HWND c = child(id);
    if (!c) return;
    RECT before{};
    GetWindowRect(c, &before);
    MapWindowPoints(nullptr, GetParent(c), reinterpret_cast<POINT*>(&before), 2);
    if (form_.control_design(id).kind == Kind::combo_box)
        place_combo(c, place);  // its window holds the dropped list too
    else
        MoveWindow(c, place.left, place.top, place.width, place.height, TRUE);
    // Transparent labels above show this control through them.
    RECT after = to_rect(place), both{};
    UnionRect(&both, &before, &after);
    repaint_transparent_above(id, both, false);
}

void FormWindow::window_moved(const ui::Rect& outer) {
    MoveWindow(hwnd_.get(), outer.left, outer.top, outer.width, outer.height, TRUE);
}

void FormWindow::picture_changed(ControlId id, ui::ButtonState state, ui::Picture) {
    HWND c = child(id);
    if (c && shown_state(id) == state)
        RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void FormWindow::repaint_transparent_above(ControlId id, const RECT& area, bool now) {
    const ControlId parent = form_.control_design(id).parent;
    for (int row = id.row - 1; row >= 1; --row) {
        const ControlId above{row};
        const ui::ControlDesign& d = form_.control_design(above);
        if (d.kind != Kind::transparent_label || d.parent != parent) continue;
        if (!overlaps(area, to_rect(form_.place(above)))) continue;
        RedrawWindow(child(above), nullptr, nullptr, RDW_INVALIDATE | (now ? RDW_UPDATENOW : 0));
    }
}

}  // namespace quorvel::win32
