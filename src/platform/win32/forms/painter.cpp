// The one painter of our own control kinds. A transparent label has no face
// of its own: it paints what lies beneath it (the window's face and the
// controls below it in stacking order) with this same painter, then its
// caption. Everything goes into a memory bitmap first, so nothing flickers.
#include <windows.h>

#include <algorithm>

#include "platform/win32/base/text.h"
#include "platform/win32/forms/form_window.h"

namespace quorvel::win32 {

using ui::ControlId;
using ui::Kind;

namespace {

void fill(HDC dc, const RECT& r, COLORREF colour) {
    UniqueBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.get());
}

void blit(HDC dc, const Bitmap& b, int x, int y, int w, int h, bool stretch) {
    if (!b.handle) return;
    UniqueDc src(CreateCompatibleDC(dc));
    Selection sel(src.get(), b.handle);
    if (stretch) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, x, y, w, h, src.get(), 0, 0, b.width, b.height, SRCCOPY);
    } else {
        BitBlt(dc, x, y, b.width < w ? b.width : w, b.height < h ? b.height : h, src.get(), 0, 0,
               SRCCOPY);
    }
}

void tile(HDC dc, const Bitmap& b, int x, int y, int w, int h) {
    if (!b.handle || b.width <= 0 || b.height <= 0) return;
    UniqueDc src(CreateCompatibleDC(dc));
    Selection sel(src.get(), b.handle);
    for (int ty = 0; ty < h; ty += b.height)
        for (int tx = 0; tx < w; tx += b.width)
            BitBlt(dc, x + tx, y + ty, b.width < w - tx ? b.width : w - tx,
                   b.height < h - ty ? b.height : h - ty, src.get(), 0, 0, SRCCOPY);
}

}  // namespace

HFONT FormWindow::font_for(const ui::Look& look) const {
    if (look.font == ui::Font::clock_face && clock_font_) return clock_font_.get();
    if (gui_font_) return gui_font_.get();
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int FormWindow::caption_indent(HDC dc, ControlId id, const std::wstring& text) const {
    const std::size_t spaces = text.find_first_not_of(L' ');
    SIZE lead{};
    if (spaces != 0 && spaces != std::wstring::npos)
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(spaces), &lead);
    const ui::Rect& me = form_.place(id);
    const ControlId parent = form_.control_design(id).parent;
    int start = 0;
    for (int row = id.row - 1; row >= 1; --row) {
        const ControlId above{row};
        const ui::ControlDesign& d = form_.control_design(above);
        HWND c = child(above);
        if (d.kind != Kind::picture_button || d.parent != parent || !c || !IsWindowVisible(c))
            continue;
        const ui::Rect& p = form_.place(above);
        const bool over_start = p.left <= me.left + lead.cx && p.left + p.width > me.left &&
                                p.top < me.top + me.height && p.top + p.height > me.top;
        if (over_start) start = std::max(start, p.left + p.width - me.left + form_.scale().px(3));
    }
    return start > lead.cx ? start - lead.cx : 0;
}

void FormWindow::paint_caption(HDC dc, ControlId id, int dx, int dy) {
    const std::wstring text = widen(form_.text(id));
    if (text.empty()) return;
    const ui::ControlDesign& d = form_.control_design(id);
    const ui::Rect& p = form_.place(id);
    Selection font(dc, font_for(d.look));
    SetBkMode(dc, TRANSPARENT);
    dx += caption_indent(dc, id, text);
    constexpr UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
    if (d.look.shadow) {
        RECT shadow{dx + 2, dy + 2, dx + 2 + p.width, dy + 2 + p.height};
        SetTextColor(dc, RGB(0, 0, 0));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shadow, format);
    }
    RECT r{dx, dy, dx + p.width, dy + p.height};
    SetTextColor(dc, RGB(d.look.colour.r, d.look.colour.g, d.look.colour.b));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

void FormWindow::paint_control(HDC dc, ControlId id, int dx, int dy) {
    const ui::ControlDesign& d = form_.control_design(id);
    const ui::Rect& p = form_.place(id);
    const RECT area{dx, dy, dx + p.width, dy + p.height};
    HRGN clip = CreateRectRgnIndirect(&area);
    UniqueRegion clip_owner(clip);
    SaveDC(dc);
    ExtSelectClipRgn(dc, clip, RGN_AND);
    switch (d.kind) {
        case Kind::picture_box: {
            const bool stretch = d.mode == ui::DisplayMode::stretched;
            if (!stretch) fill(dc, area, GetSysColor(COLOR_BTNFACE));
            blit(dc, pictures_.bitmap(form_.picture(id, ui::ButtonState::normal), form_.scale()),
                 dx, dy, p.width, p.height, stretch);
            break;
        }
        case Kind::label:
            tile(dc, pictures_.bitmap(form_.picture(id, ui::ButtonState::normal), form_.scale()),
                 dx, dy, p.width, p.height);
            paint_caption(dc, id, dx, dy);
            break;
        case Kind::transparent_label:
            paint_caption(dc, id, dx, dy);
            break;
        case Kind::picture_button: {
            fill(dc, area, RGB(0, 0, 0));
            const ui::Picture pic = form_.picture(id, shown_state(id));
            if (pic == ui::Picture::program_icon) {
                const int size = p.width < p.height ? p.width : p.height;
                const RECT square{dx, dy, dx + size, dy + size};
                fill(dc, square, RGB(255, 255, 255));
                DrawIconEx(dc, dx, dy, pictures_.icon(size), size, size, 0, nullptr, DI_NORMAL);
            } else {
                blit(dc, pictures_.bitmap(pic, form_.scale()), dx, dy, p.width, p.height, false);
            }
            break;
        }
        default:
            // A standard control below a transparent label prints itself.
            if (HWND c = child(id); c && IsWindowVisible(c)) {
                POINT old;
                SetViewportOrgEx(dc, dx, dy, &old);
                SendMessageW(c, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                             PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
                SetViewportOrgEx(dc, old.x, old.y, nullptr);
            }
            break;
    }
    RestoreDC(dc, -1);
}

void FormWindow::paint_beneath(HDC dc, ControlId id) {
    const ui::ControlDesign& d = form_.control_design(id);
    const ui::Rect& me = form_.place(id);
    const ui::Rgb face = form_.design().background;
    const RECT all{0, 0, me.width, me.height};
    fill(dc, all, RGB(face.r, face.g, face.b));
    const RECT mine{me.left, me.top, me.left + me.width, me.top + me.height};
    // Bottom of the stack first, up to the control just beneath this one.
    for (int row = static_cast<int>(children_.size()); row > id.row; --row) {
        const ControlId below{row};
        const ui::ControlDesign& b = form_.control_design(below);
        HWND c = child(below);
        if (b.parent != d.parent || !c || !IsWindowVisible(c)) continue;
        const ui::Rect& p = form_.place(below);
        const RECT theirs{p.left, p.top, p.left + p.width, p.top + p.height};
        RECT common;
        if (!IntersectRect(&common, &mine, &theirs)) continue;
        paint_control(dc, below, p.left - me.left, p.top - me.top);
    }
}

}  // namespace quorvel::win32
