// What a control says about itself (state, font, the background its parent
// gives it) and the pieces of its look that several kinds draw alike: the
// label, the focus rectangle, the flat frame's colour.
#pragma once

#include <windows.h>

#include <string>

#include "platform/skin_rules.h"

namespace quorvel::win32::skin {

using platform::Rgb;
using platform::SkinScheme;

// Window class names compare without regard to case.
bool is_class(HWND window, const wchar_t* name);

struct Looks {
    bool enabled, focused, hide_focus, hide_accel;
};

Looks looks_of(HWND window);

// The control's font, or the one a control without a font shows.
HFONT font_of(HWND window);

// Draws the control's own text in its own font. Multi-line text is placed
// vertically by hand since DrawText centres single lines only. Returns where
// the text went.
RECT draw_label(HDC dc, HWND window, const std::wstring& text, RECT area, UINT format, Rgb colour);

void focus_rect(HDC dc, RECT r);

// What lies under a control that is not square: the parent's own background,
// asked for the way themed controls ask for it.
void parent_background(HWND window, HDC dc, const RECT& client);

// The background an edit-like control paints itself with, as its parent
// chooses it. The brush belongs to the parent.
HBRUSH edit_background(HWND window, HDC dc, bool editable);

// The flat frame of edit boxes, combo boxes and dropped lists.
Rgb frame_colour(const SkinScheme& sc, bool enabled, bool active);

}  // namespace quorvel::win32::skin
