#include "platform/win32/forms/form_window.h"

#include <commctrl.h>

#include "platform/win32/base/text.h"

namespace quorvel::win32 {

using ui::ControlId;
using ui::Kind;

namespace {

constexpr UINT_PTR tick_timer_id = 1;

FormWindow* from_create(HWND hwnd, UINT msg, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return self;
    }
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    FormWindow* self = from_create(hwnd, msg, lp);
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return self ? self->on_window_message(hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK control_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    FormWindow* self = from_create(hwnd, msg, lp);
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    return self->on_control_message(hwnd, ControlId{GetDlgCtrlID(hwnd) - 1000}, msg, wp, lp);
}

RECT to_rect(const ui::Rect& r) {
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

bool overlaps(const RECT& a, const RECT& b) {
    RECT out;
    return IntersectRect(&out, &a, &b) != FALSE;
}

bool is_standard(Kind k) {
    return k == Kind::edit_box || k == Kind::button || k == Kind::combo_box;
}

}  // namespace

void register_window_classes(HINSTANCE instance, PictureStore& pictures) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hIcon = pictures.icon(GetSystemMetrics(SM_CXICON));
    wc.hIconSm = pictures.icon(16);
    wc.lpszClassName = main_class;
    RegisterClassExW(&wc);

    wc.hIcon = nullptr;  // the options window has no icon of its own
    wc.hIconSm = nullptr;
    wc.lpszClassName = dialog_class;
    RegisterClassExW(&wc);

    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = owner_class;
    RegisterClassExW(&wc);

    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = control_proc;
    wc.lpszClassName = control_class;
    RegisterClassExW(&wc);
}

FormWindow::FormWindow(ui::Form& form, HINSTANCE instance, HWND owner, PictureStore& pictures)
    : form_(form), instance_(instance), owner_(owner), pictures_(pictures) {}

FormWindow::~FormWindow() {
    if (hwnd_) form_.attach(nullptr);
}

bool FormWindow::create() {
    const ui::WindowDesign& d = form_.design();
    const int x = (GetSystemMetrics(SM_CXSCREEN) - d.width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - d.height) / 2;
    const DWORD style = d.framed ? (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN)
                                 : (WS_POPUP | WS_CLIPCHILDREN);
    HWND hwnd =
        CreateWindowExW(0, d.framed ? dialog_class : main_class, widen(form_.caption()).c_str(),
                        style, x, y, d.width, d.height, owner_, nullptr, instance_, this);
    if (!hwnd) return false;
    hwnd_.reset(hwnd);
    form_.attach(this);

    if (!d.framed)
        clock_font_.reset(CreateFontW(-96, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                      OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                      DEFAULT_PITCH, L"SimHei"));

    children_.assign(d.controls.size(), nullptr);
    buttons_.assign(d.controls.size(), {});
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
    const ui::Rect& p = c.place;
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
                p.top, p.width, p.height + 200, parent, menu, instance_, nullptr);
            break;
        default:
            if (c.kind == Kind::picture_box) style |= WS_CLIPCHILDREN;  // 标题栏4 holds buttons
            hwnd = CreateWindowExW(0, control_class, text.c_str(), style, p.left, p.top, p.width,
                                   p.height, parent, menu, instance_, this);
            if (hwnd && c.kind == Kind::timer)
                SetTimer(hwnd, tick_timer_id, static_cast<UINT>(c.timer_period_ms), nullptr);
            break;
    }
    children_[static_cast<std::size_t>(id.row - 1)] = hwnd;
    if (hwnd && is_standard(c.kind)) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     FALSE);
        if (c.kind == Kind::combo_box) setup_combo(hwnd, c);
    }
}

void FormWindow::setup_combo(HWND combo, const ui::ControlDesign& d) {
    for (int i = 0; i < d.item_count; ++i)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(i).c_str()));
    const auto item = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0)) + 1;
    SendMessageW(combo, CB_SETITEMHEIGHT, 0, item);
    // The dropped list shows at least 160 pixels of items.
    const int visible = (160 + item - 1) / item;
    SendMessageW(combo, CB_SETMINVISIBLE, static_cast<WPARAM>(visible), 0);
    const ui::Rect& p = d.place;
    SetWindowPos(combo, nullptr, 0, 0, p.width, p.height + visible * item + 4,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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

bool FormWindow::pretranslate(const MSG& msg) {
    if (!hwnd_ || !form_.design().framed || msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != hwnd_.get() && !IsChild(hwnd_.get(), msg.hwnd)) return false;
    HWND focus = GetFocus();
    // A dropped list keeps its own keys (Enter and Esc close it).
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (form_.design().controls[i].kind == Kind::combo_box && children_[i] &&
            SendMessageW(children_[i], CB_GETDROPPEDSTATE, 0, 0))
            return false;
    }
    switch (msg.wParam) {
        case VK_TAB: {
            // Tab stops in stacking order read from the bottom up.
            std::vector<HWND> order;
            for (auto it = children_.rbegin(); it != children_.rend(); ++it)
                if (*it && (GetWindowLongW(*it, GWL_STYLE) & WS_TABSTOP)) order.push_back(*it);
            if (order.empty()) return true;
            std::size_t at = order.size() - 1;
            for (std::size_t i = 0; i < order.size(); ++i)
                if (order[i] == focus || IsChild(order[i], focus)) at = i;
            const bool back = GetKeyState(VK_SHIFT) < 0;
            const std::size_t next =
                back ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
            SendMessageW(hwnd_.get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
            SetFocus(order[next]);
            if (SendMessageW(order[next], WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                SendMessageW(order[next], EM_SETSEL, 0, -1);
            return true;
        }
        case VK_RETURN: {
            // Only a focused button takes Enter, so Enter in a list or the
            // path box can never arm a forced shutdown by accident.
            wchar_t cls[16] = {};
            GetClassNameW(focus, cls, 16);
            if (IsChild(hwnd_.get(), focus) && lstrcmpiW(cls, WC_BUTTONW) == 0)
                SendMessageW(focus, BM_CLICK, 0, 0);
            return true;
        }
        case VK_ESCAPE:
            return true;
        default:
            return false;
    }
}

ui::ButtonState FormWindow::shown_state(ControlId id) const {
    const ButtonTrack& t = buttons_[static_cast<std::size_t>(id.row - 1)];
    auto has = [&](ui::ButtonState s) { return form_.picture(id, s) != ui::Picture::none; };
    ui::ButtonState s = ui::ButtonState::normal;
    if (!IsWindowEnabled(child(id)))
        s = ui::ButtonState::disabled;
    else if (t.pressed && t.over)
        s = ui::ButtonState::pressed;
    else if (t.hover)
        s = ui::ButtonState::hover;
    return has(s) ? s : ui::ButtonState::normal;
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

// --- Messages --------------------------------------------------------------

LRESULT FormWindow::on_window_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT: {  // the skin asks for the face behind rounded corners
            RECT r;
            GetClientRect(hwnd, &r);
            const ui::Rgb c = form_.design().background;
            UniqueBrush brush(CreateSolidBrush(RGB(c.r, c.g, c.b)));
            FillRect(reinterpret_cast<HDC>(wp), &r, brush.get());
            return 1;
        }
        case WM_MOVE:
            report_rect();
            break;
        case WM_SIZE:
            report_rect();
            if (!loading_) form_.raise(ui::Event::size_changed);
            // The new region is given without redraw; paint the whole new
            // face once, so no part of it keeps what the old size showed.
            RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            return 0;
        case WM_COMMAND: {
            const ControlId id{LOWORD(wp) - 1000};
            if (id.row < 1 || id.row > static_cast<int>(children_.size()) || lp == 0) return 0;
            const Kind k = form_.control_design(id).kind;
            const WORD code = HIWORD(wp);
            if (k == Kind::button && code == BN_CLICKED && !loading_)
                form_.raise(ui::Event::click, id);
            else if (k == Kind::combo_box && code == CBN_SELCHANGE)
                form_.report_selection(
                    id, static_cast<int>(SendMessageW(child(id), CB_GETCURSEL, 0, 0)));
            else if (k == Kind::edit_box && code == EN_CHANGE)
                form_.report_text(id, narrow(window_text(child(id))));
            return 0;
        }
        case WM_CLOSE:
            reenable_others();  // before the window goes, so activation returns to them
            break;
        case WM_DESTROY:
            reenable_others();
            break;
        case WM_NCDESTROY:
            hwnd_.release();
            children_.assign(children_.size(), nullptr);
            form_.report_destroyed();
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT FormWindow::on_control_message(HWND hwnd, ControlId id, UINT msg, WPARAM wp, LPARAM lp) {
    if (id.row < 1 || id.row > static_cast<int>(children_.size()))
        return DefWindowProcW(hwnd, msg, wp, lp);
    const Kind kind = form_.control_design(id).kind;
    ButtonTrack& t = buttons_[static_cast<std::size_t>(id.row - 1)];
    auto redraw = [hwnd] { RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); };
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintScope paint(hwnd);
            RECT r;
            GetClientRect(hwnd, &r);
            Canvas canvas(paint.dc(), r.right, r.bottom);
            if (kind == Kind::transparent_label) paint_beneath(canvas.dc(), id);
            paint_control(canvas.dc(), id, 0, 0);
            BitBlt(paint.dc(), 0, 0, r.right, r.bottom, canvas.dc(), 0, 0, SRCCOPY);
            return 0;
        }
        case WM_TIMER:
            if (kind == Kind::timer && wp == tick_timer_id) form_.raise(ui::Event::tick, id);
            return 0;
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
            return SendMessageW(hwnd_.get(), msg, wp, lp);
        default:
            break;
    }
    if (kind == Kind::label) {
        if (msg == WM_LBUTTONDOWN) form_.raise(ui::Event::mouse_down, id);
        if (msg == WM_LBUTTONDBLCLK) form_.raise(ui::Event::double_click, id);
    }
    if (kind == Kind::picture_button) {
        POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        RECT r;
        GetClientRect(hwnd, &r);
        switch (msg) {
            case WM_MOUSEMOVE: {
                const bool over = PtInRect(&r, pt) != FALSE;
                if (!t.hover && over) {
                    t.hover = true;
                    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd, 0};
                    TrackMouseEvent(&tme);
                    redraw();
                }
                if (t.pressed && t.over != over) {
                    t.over = over;
                    t.hover = over;
                    redraw();
                }
                return 0;
            }
            case WM_MOUSELEAVE:
                if (t.hover && !t.pressed) {
                    t.hover = false;
                    redraw();
                }
                return 0;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
                SetCapture(hwnd);
                t.pressed = t.over = true;
                redraw();
                return 0;
            case WM_LBUTTONUP: {
                const bool click = t.pressed && PtInRect(&r, pt);
                if (t.pressed) ReleaseCapture();
                t.pressed = t.over = false;
                t.hover = click;
                redraw();
                if (click) form_.raise(ui::Event::click, id);
                return 0;
            }
            case WM_CAPTURECHANGED:
                if (t.pressed) {
                    t.pressed = t.over = false;
                    redraw();
                }
                return 0;
            case WM_ENABLE:
                redraw();
                return 0;
            default:
                break;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace quorvel::win32
