// The skinned frame: frame pieces kept against the window's edges, the
// maximised window kept on the work area, rounded corners, and the caption
// behaviour of the title strip.
#pragma once

#include "platform/services.h"
#include "ui/form.h"

namespace quorvel::ui {

// Size-changed handler. Reads every position afresh; may run nested inside
// itself when the work-area correction resizes the window.
void frame_layout(Form& main, platform::Desktop& desktop);

void title_drag(Form& main, platform::Desktop& desktop);
void title_double_click(Form& main, platform::Desktop& desktop);
void close_main_window(Form& main, platform::Desktop& desktop);

// The title buttons: maximise or restore, so the glyph set tells the truth,
// and minimise into the notification area, since the window has no taskbar
// button to come back by.
void toggle_maximise(Form& main, platform::Desktop& desktop);
void minimise_to_tray(Form& main, platform::Desktop& desktop);

// Window messages the caption behaviour hands to the system.
namespace message {
inline constexpr unsigned nc_lbutton_down = 0x00A1;
inline constexpr unsigned nc_lbutton_dblclk = 0x00A3;
inline constexpr unsigned sys_command = 0x0112;
inline constexpr std::uintptr_t ht_caption = 2;
inline constexpr std::uintptr_t sc_close = 0xF060;
}  // namespace message

}  // namespace quorvel::ui
