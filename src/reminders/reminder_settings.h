// The operations behind the options window's buttons. They write the
// reminder fields and the status line of the main window; once the main
// window is gone (the alarm fired meanwhile) those writes go nowhere.
#pragma once

#include <string>

#include "platform/services.h"
#include "ui/form.h"

namespace quorvel::reminders {

// Selection index as field text; no selection gives "-1", which never fires.
std::string selection_text(const ui::Form& options, ui::ControlId list);

void choose_music(ui::Form& options, ui::Form& main, platform::Windows& windows);
void set_alarm(ui::Form& options, ui::Form& main, platform::Windows& windows);
void set_shutdown(ui::Form& options, ui::Form& main, platform::Windows& windows);

}  // namespace quorvel::reminders
