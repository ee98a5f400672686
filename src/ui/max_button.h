#pragma once

#include "platform/services.h"
#include "ui/form.h"

namespace quorvel::ui {

// Shows the restore glyphs on 标题栏按钮_最大化 while the window is
// maximised, else the maximise glyphs. Asks the system every time.
void refresh_max_button(Form& main, platform::Desktop& desktop);

}  // namespace quorvel::ui
