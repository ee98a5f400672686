// What the program does around its reminders without changing when they
// fire: it keeps the wake-up timer set for the earliest armed one, and warns
// in the minute before a forced shutdown.
#pragma once

#include <optional>

#include "platform/services.h"
#include "ui/form.h"

namespace quorvel::reminders {

// The earliest time the alarm or the shutdown reminder can next fire, or
// nothing when neither is armed.
std::optional<platform::LocalTime> earliest_due(const ui::Form& main,
                                                const platform::LocalTime& now);

// "将在 7:05 强制关机，请保存您的工作。" for the shutdown fields "7" and "5".
std::string shutdown_warning(const std::string& hour, const std::string& minute);

class ReminderWatch {
  public:
    // After each clock tick: follows the reminder fields (a fired alarm, a
    // shutdown minute gone by) and warns once per shutdown time.
    void after_tick(const ui::Form& main, platform::Services& services);
    // A reminder was set, or the system clock or time zone changed: the
    // timer is asked for again even when the local due time is the same.
    void rearm(const ui::Form& main, platform::Services& services);
    // Back from sleep: re-arms, and when a reminder is due within two
    // minutes (the timer woke us) holds the computer awake until it fires.
    void resumed(const ui::Form& main, platform::Services& services);

  private:
    void follow(const ui::Form& main, platform::Wake& wake, const platform::LocalTime& now);
    void warn_before_shutdown(const ui::Form& main, platform::Desktop& desktop);

    std::optional<platform::LocalTime> armed_;  // what the timer was last asked for
    bool warned_ = false;                       // in this minute before the shutdown
};

}  // namespace quorvel::reminders
