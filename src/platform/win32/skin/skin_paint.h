// Inside the control skin: the state a skinned control keeps, the DC scopes
// the painters need, and the painters for each kind of control.
#pragma once

#include <windows.h>

#include "platform/skin_rules.h"
#include "platform/win32/base/handles.h"

namespace quorvel::win32::skin {

using platform::Rgb;
using platform::SkinKind;
using platform::SkinScheme;

// Lives as long as the control carries the skin; its window procedure layer
// holds it as reference data.
struct ControlState {
    SkinKind kind = SkinKind::none;
    const SkinScheme* scheme = nullptr;
    bool hot = false;       // mouse over the control (for a combo box: or its edit)
    bool tracking = false;  // TrackMouseEvent(TME_LEAVE) asked for
    int hot_part = -1;      // up-down: 0 the up/right arrow, 1 the down/left arrow
    int pressed_part = -1;
    // Message calls of the layer still running on the stack. A skin taken off
    // from inside one of them (an event handler applying the skin again) must
    // not free the state under it; the outermost call frees it instead.
    int depth = 0;
    bool detached = false;
};

// The state of a control that carries the skin; null for any other window.
const ControlState* state_of(HWND window);

// Window class names compare without regard to case.
bool is_class(HWND window, const wchar_t* name);

// --- owners of DC states (the handles themselves: handles.h) ------------------

// GetDC / GetWindowDC, released on scope exit.
class WindowDc {
  public:
    WindowDc(HWND window, bool whole_window)
        : window_(window), dc_(whole_window ? GetWindowDC(window) : GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Everything selected or set in a DC within the scope is put back after it.
class SavedDc {
  public:
    explicit SavedDc(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;
    ~SavedDc() {
        if (id_) RestoreDC(dc_, id_);
    }

  private:
    HDC dc_;
    int id_;
};

// --- painters ------------------------------------------------------------------

// The client area of a button, combo box or up-down control, painted whole
// off screen and copied to `target` in one go.
void paint_client(HWND window, HDC target, const ControlState& state);

// The flat frame of an edit box or a dropped list in place of the system's
// edge; scroll bars, if any, are left to the system. `update` is the
// WM_NCPAINT region (or 1 for all). Returns false when the window has no
// frame to paint, so the system's painting can go ahead.
bool paint_frame(HWND window, const ControlState& state, HRGN update,
                 LRESULT (*system_paint)(HWND, HRGN));

// Up-down arrow under a client point: 0 up/right, 1 down/left.
int up_down_part(HWND window, POINT client_point);

}  // namespace quorvel::win32::skin
