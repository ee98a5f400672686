// The hot-tracking every skinned kind shares: the mouse moving over a
// control makes it (or one of its parts) hot, the mouse leaving it makes it
// cold again, and a change is shown at once. Each kind says only what is hot
// and how a change shows.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/win32/skin/layer.h"

namespace quorvel::win32::skin {

struct HotTracking {
    // What is hot (ControlState::hot) with the mouse at a client point.
    int (*under)(HWND window, POINT client_point);
    // What stays hot once the mouse has left the window.
    int (*after_leave)(HWND window);
    // Makes a change of what is hot visible.
    void (*show)(HWND window, ControlState& state);
    // Shows every leave, changed or not.
    bool show_every_leave = false;
};

// Handles WM_MOUSEMOVE and WM_MOUSELEAVE, after the system has had them;
// nothing for any other message.
std::optional<LRESULT> track_hot(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st,
                                 const HotTracking& how);

// Answers for `under` and `after_leave`.
int whole_control(HWND window, POINT client_point);
int nothing_hot(HWND window);

// An answer for `show`: the control paints itself again when next asked.
void repaint_later(HWND window, ControlState& state);

// The mouse message's point, in client coordinates.
POINT client_point(LPARAM lparam);

}  // namespace quorvel::win32::skin
