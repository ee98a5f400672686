// The small button with an arrow that the combo box (its drop button) and
// the up-down control (its two arrows) share.
#pragma once

#include <windows.h>

#include "platform/skin_rules.h"
#include "platform/win32/skin/canvas.h"

namespace quorvel::win32::skin {

enum class Arrow { up, down, left, right };

void paint_arrow_button(PixelCanvas& cv, const RECT& r, const platform::SkinScheme& sc,
                        bool enabled, bool hot, bool pressed, Arrow arrow);

}  // namespace quorvel::win32::skin
