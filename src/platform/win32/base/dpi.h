// The display scale of a window as the system reports it. Functions newer
// than Windows 7 are looked up at run time; where they are missing the
// system DPI stands in, which is all a Windows 7 program ever gets.
#pragma once

#include <windows.h>

#include "platform/win32/base/handles.h"
#include "ui/scale.h"

namespace quorvel::win32 {

#ifndef WM_DPICHANGED
inline constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

// DPI of the screen the process was started with (the unaware value).
int system_dpi();
// DPI of the monitor the window is on; the system DPI before Windows 10.
int window_dpi(HWND window);
inline ui::Scale window_scale(HWND window) {
    return ui::Scale(window_dpi(window));
}

// Outer rectangle for the given client rectangle, with the frame at `dpi`.
RECT outer_for_client(RECT client, DWORD style, DWORD ex_style, int dpi);

// The system's GUI font at `dpi`; empty where the stock font already is
// that font (the system DPI), so callers keep using the stock object.
UniqueFont gui_font_for(int dpi);

}  // namespace quorvel::win32
