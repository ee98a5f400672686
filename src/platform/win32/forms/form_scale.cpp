// A form window at its monitor's display scale: fonts, the window's size and
// every control's place follow the DPI, and follow it again when it changes.
#include "platform/win32/forms/form_window.h"

#include "platform/win32/base/dpi.h"
#include "platform/win32/forms/form_parts.h"

namespace quorvel::win32 {

using ui::ControlId;
using ui::Kind;

namespace {

DWORD style_of(const ui::WindowDesign& d) {
    return d.framed ? (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN)
                    : (WS_POPUP | WS_CLIPCHILDREN);
}

// The frame around an empty client area at `dpi` (left and top negative).
RECT frame_at(DWORD style, int dpi) {
    return outer_for_client({0, 0, 0, 0}, style, 0, dpi);
}

}  // namespace

// A framed window is designed with the system's caption at 96 DPI: its client
// area is scaled and framed at this DPI, so the controls have the same room.
SIZE FormWindow::outer_size(const ui::Scale& scale) const {
    const ui::WindowDesign& d = form_.design();
    if (!d.framed || scale.identity()) return {scale.px(d.width), scale.px(d.height)};
    const DWORD style = style_of(d);
    const RECT designed_frame = frame_at(style, ui::Scale::designed_dpi);
    const int client_w = d.width - (designed_frame.right - designed_frame.left);
    const int client_h = d.height - (designed_frame.bottom - designed_frame.top);
    const RECT outer =
        outer_for_client({0, 0, scale.px(client_w), scale.px(client_h)}, style, 0, scale.dpi());
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void FormWindow::apply_scale(const ui::Scale& scale) {
    // The controls hold the old fonts until they are given the new ones.
    const UniqueFont old_gui = std::move(gui_font_);
    const UniqueFont old_clock = std::move(clock_font_);
    gui_font_ = gui_font_for(scale.dpi());
    if (!form_.design().framed)
        clock_font_.reset(CreateFontW(-scale.px(96), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                      GB2312_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      ANTIALIASED_QUALITY, DEFAULT_PITCH, L"SimHei"));
    for (int row = 1; row <= static_cast<int>(children_.size()); ++row) {
        const ControlId id{row};
        const ui::ControlDesign& d = form_.control_design(id);
        HWND c = child(id);
        if (!c || !form_parts::is_standard(d.kind)) continue;
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_for(d.look)), FALSE);
        if (d.kind == Kind::combo_box) fit_combo_items(c);
    }
    form_.set_scale(scale);
}

// Moved to a monitor of another scale, or the user changed the scale: take
// the system's rectangle and lay out and paint everything again.
void FormWindow::on_dpi_changed(int dpi, const RECT& suggested) {
    const ui::Scale scale(dpi);
    if (scale != form_.scale()) apply_scale(scale);
    SetWindowPos(hwnd_.get(), nullptr, suggested.left, suggested.top,
                 suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    report_rect();
    if (!loading_) form_.raise(ui::Event::size_changed);
    RedrawWindow(hwnd_.get(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

}  // namespace quorvel::win32
