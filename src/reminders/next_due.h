// When a reminder's hour and minute fields can next match the clock: the
// local date and time the wake-up timer is set for.
#pragma once

#include <optional>
#include <string>

#include "platform/services.h"

namespace quorvel::reminders {

// The first local hour:minute at second 0 whose minute has not yet passed at
// `now` (so within that minute it is the current one), skipping a day whose
// clocks jump over it. Nothing for field texts the clock never shows ("-1",
// "24", "60", "61", "07"), as those never match. Uses the process's time
// zone rules (the TZ variable where set).
std::optional<platform::LocalTime> next_due(const platform::LocalTime& now, const std::string& hour,
                                            const std::string& minute);

// Whole minutes from `from` to `to`, both local times, across any DST change.
long minutes_between(const platform::LocalTime& from, const platform::LocalTime& to);

}  // namespace quorvel::reminders
