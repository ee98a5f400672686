// The skin room: a Windows XP-like look for the system's standard controls,
// put on every control of the calling thread by a window procedure layer.
// skin.cpp installs and removes the layers (the thread's ledger, the CBT
// hook) and hands each message to the handling of the control's kind: one
// file per kind (button, frame, combo, up_down) holding its behaviour and
// its painting, all sharing one hot-tracking mechanism (hot_tracking) and
// the drawing primitives (canvas, control_looks, arrow_button). It may use
// base/ and platform/skin_rules (which decides what is skinned and in which
// colours) and nothing else of the program: never forms/, sound/ or services/.
//
// The controls it skins: push buttons, check boxes, radio buttons, group
// boxes, edit boxes, drop-down combo boxes with their lists, up-down controls.
//
// apply_control_skin(scheme) takes any earlier skin off every control of the
// thread, then, for scheme 1 (blue), 2 (olive green) or 3 (silver), skins the
// thread's existing standard controls and, through a thread-local CBT hook
// installed on the first call, every one created on the thread afterwards:
// those of message boxes and common dialogs too. Any other number only takes
// the skin off. Owner-drawn, bitmap and icon buttons, simple combo boxes and
// every other window class are left alone. Call it on the UI thread only.
//
// How another process can see which controls carry the skin:
//  - window property L"QuorvelSkin" (GetPropW): the scheme number, present
//    exactly while the control carries the skin;
//  - registered message L"QuorvelSkinLayers" (RegisterWindowMessageW, then
//    SendMessageW(control, msg, 0, 0)): the number of skin layers in the
//    control's window procedure chain, counted by the layers themselves, so
//    1 on a skinned control, 0 on any other; never 2, however often the skin
//    is applied.
#pragma once

namespace quorvel::win32 {

inline constexpr wchar_t skin_property[] = L"QuorvelSkin";
inline constexpr wchar_t skin_layers_message[] = L"QuorvelSkinLayers";

void apply_control_skin(int scheme);

}  // namespace quorvel::win32
