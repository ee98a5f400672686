// The window procedures of a form window and its own controls.
#include "platform/win32/forms/form_window.h"

#include <commctrl.h>

#include "platform/win32/base/dpi.h"
#include "platform/win32/base/text.h"
#include "platform/win32/forms/form_parts.h"

namespace quorvel::win32 {

using ui::ControlId;
using ui::Kind;

namespace {

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

}  // namespace

void register_window_classes(HINSTANCE instance, PictureStore& pictures) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hIcon = pictures.icon(GetSystemMetrics(SM_CXICON));
    wc.hIconSm = pictures.icon(GetSystemMetrics(SM_CXSMICON));
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
        case WM_DPICHANGED:
            on_dpi_changed(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
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
        case WM_TIMECHANGE:
            form_.raise(ui::Event::time_changed);
            return 0;
        case WM_POWERBROADCAST:
            if (wp == PBT_APMRESUMEAUTOMATIC) form_.raise(ui::Event::resumed);
            return TRUE;
        case WM_ENDSESSION:
            // The process may be ended as soon as this returns: let go of
            // everything now.
            if (wp && session_end_) session_end_();
            return 0;
        case WM_NCDESTROY:
            if (!hwnd_) break;  // creation failed: the window never was
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
            if (kind == Kind::timer && wp == form_parts::tick_timer_id)
                form_.raise(ui::Event::tick, id);
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
    if (kind == Kind::picture_button && picture_button_message(hwnd, id, msg, lp)) return 0;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A picture button shows hover and pressed pictures while the mouse is over
// it, and clicks when the button is released where it went down.
bool FormWindow::picture_button_message(HWND hwnd, ControlId id, UINT msg, LPARAM lp) {
    ButtonTrack& t = buttons_[static_cast<std::size_t>(id.row - 1)];
    auto redraw = [hwnd] { RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); };
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
            return true;
        }
        case WM_MOUSELEAVE:
            if (t.hover && !t.pressed) {
                t.hover = false;
                redraw();
            }
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCapture(hwnd);
            t.pressed = t.over = true;
            redraw();
            return true;
        case WM_LBUTTONUP: {
            const bool click = t.pressed && PtInRect(&r, pt);
            if (t.pressed) ReleaseCapture();
            t.pressed = t.over = false;
            t.hover = click;
            redraw();
            if (click) form_.raise(ui::Event::click, id);
            return true;
        }
        case WM_CAPTURECHANGED:
            if (t.pressed) {
                t.pressed = t.over = false;
                redraw();
            }
            return true;
        case WM_ENABLE:
            redraw();
            return true;
        default:
            break;
    }
    return false;
}

}  // namespace quorvel::win32
