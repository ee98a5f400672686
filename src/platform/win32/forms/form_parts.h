// What the files of a form window share and nothing else needs.
#pragma once

#include <windows.h>

#include "ui/design.h"

namespace quorvel::win32::form_parts {

inline constexpr UINT_PTR tick_timer_id = 1;

inline RECT to_rect(const ui::Rect& r) {
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

// The system's own controls: they paint themselves and keep their own text.
inline bool is_standard(ui::Kind k) {
    return k == ui::Kind::edit_box || k == ui::Kind::button || k == ui::Kind::combo_box;
}

}  // namespace quorvel::win32::form_parts
