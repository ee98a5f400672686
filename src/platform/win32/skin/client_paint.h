// The client area of a button, combo box or up-down control, painted whole
// off screen by the kind's painter and copied to the screen in one go.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/win32/skin/canvas.h"
#include "platform/win32/skin/layer.h"

namespace quorvel::win32::skin {

// A kind's painter draws the control on the canvas; it may clip `target`
// where other windows must show through the copy.
using ClientPainter = void (*)(HWND window, PixelCanvas& cv, const SkinScheme& sc,
                               const ControlState& state, HDC target);

void paint_client(HWND w, HDC target, const ControlState& st, ClientPainter paint);

// Paints at once, outside WM_PAINT: after the system has drawn its own look
// straight onto the screen.
void paint_now(HWND w, const ControlState& st, ClientPainter paint);

// WM_PAINT, WM_PRINTCLIENT and WM_ERASEBKGND of a control the skin paints
// whole; nothing for any other message.
std::optional<LRESULT> client_paint_message(HWND w, UINT m, WPARAM wp, const ControlState& st,
                                            ClientPainter paint);

}  // namespace quorvel::win32::skin
