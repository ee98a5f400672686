#pragma once

#include "platform/services.h"
#include "ui/form.h"

namespace quorvel::clock {

inline constexpr int colon_ms = 500;

// Handler of 时钟1: face, current-time fields, date during the hour 00, the
// colon blink and the reminder check, all from one reading of the clock so
// that a tick never pairs the hour of one minute with the minute of the next.
// The colon is cleared by a one-shot timer; the tick itself never waits.
void clock_tick(ui::Form& main, platform::Services& services);

}  // namespace quorvel::clock
