// Inside the skin: the state the layer on a skinned control keeps, what the
// layer (skin.cpp) offers each kind's handling, and the handling of each kind
// (button.cpp, frame.cpp, combo.cpp, up_down.cpp), which the layer calls for
// every message the layer does not handle for all kinds alike.
#pragma once

#include <windows.h>

#include "platform/skin_rules.h"

namespace quorvel::win32::skin {

using platform::SkinKind;
using platform::SkinScheme;

// Lives as long as the control carries the skin; its window procedure layer
// holds it as reference data.
struct ControlState {
    SkinKind kind = SkinKind::none;
    const SkinScheme* scheme = nullptr;
    // What is under the mouse: -1 nothing, 0 the control (a combo box: or its
    // edit box); on an up-down control 0 the up/right, 1 the down/left arrow.
    int hot = -1;
    bool tracking = false;  // TrackMouseEvent(TME_LEAVE) asked for
    int pressed_part = -1;  // up-down: the arrow held down
    // Message calls of the layer still running on the stack. A skin taken off
    // from inside one of them (an event handler applying the skin again) must
    // not free the state under it; the outermost call frees it instead.
    int depth = 0;
    bool detached = false;

    bool is_hot() const { return hot >= 0; }
};

// --- offered by the layer (skin.cpp) ---------------------------------------------

// The state of a control that carries the skin; null for any other window.
ControlState* state_of(HWND window);

// The system's (and any earlier layer's) handling of the message.
LRESULT call_system(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Client area and frame, background included, painted again.
void redraw_whole(HWND window);

// Skins the dropped list of a skinned combo box, which exists only once the
// combo box has run WM_CREATE.
void put_on_list_of(HWND combo);

// --- each kind's handling ----------------------------------------------------------

// Push buttons, check boxes, radio buttons, group boxes.
LRESULT button_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st);
// Edit boxes and dropped lists: a flat frame.
LRESULT frame_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st);
LRESULT combo_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st);
LRESULT up_down_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st);

}  // namespace quorvel::win32::skin
