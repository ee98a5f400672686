#pragma once

#include "platform/services.h"
#include "ui/form.h"

namespace quorvel::reminders {

inline constexpr const char* fired_minute = "61";  // no clock or list minute
inline constexpr const char* shutdown_marker = "关机";

// Last step of the clock tick: fires the alarm, then the shutdown reminder,
// when their fields equal the current-time fields the tick has just written.
void reminder_check(ui::Form& main, platform::Services& services, const platform::LocalTime& now);

}  // namespace quorvel::reminders
