#include "reminders/reminder_watch.h"

#include <tuple>

#include "clock/date_line.h"
#include "reminders/next_due.h"
#include "reminders/reminder_check.h"
#include "ui/main_design.h"

namespace quorvel::reminders {

using namespace ui::main_window;

namespace {

auto key(const platform::LocalTime& t) {
    return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

bool same(const std::optional<platform::LocalTime>& a,
          const std::optional<platform::LocalTime>& b) {
    if (!a || !b) return !a && !b;
    return key(*a) == key(*b);
}

// The clock texts of the minute after the current-time fields, or nothing
// when they hold no clock time.
std::optional<std::pair<std::string, std::string>> next_minute(const ui::Form& main) {
    for (int h = 0; h < 24; ++h) {
        if (clock::number_text(h) != main.text(透明标签9)) continue;
        for (int m = 0; m < 60; ++m) {
            if (clock::number_text(m) != main.text(透明标签10)) continue;
            const int next = (h * 60 + m + 1) % (24 * 60);
            return std::pair{clock::number_text(next / 60), clock::number_text(next % 60)};
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<platform::LocalTime> earliest_due(const ui::Form& main,
                                                const platform::LocalTime& now) {
    auto due = next_due(now, main.text(透明标签5), main.text(透明标签6));
    if (main.text(编辑框2) == shutdown_marker) {
        const auto shutdown = next_due(now, main.text(透明标签7), main.text(透明标签8));
        if (shutdown && (!due || key(*shutdown) < key(*due))) due = shutdown;
    }
    return due;
}

std::string shutdown_warning(const std::string& hour, const std::string& minute) {
    const std::string mm = minute.size() == 1 ? "0" + minute : minute;
    return "将在 " + hour + ":" + mm + " 强制关机，请保存您的工作。";
}

void ReminderWatch::follow(const ui::Form& main, platform::Wake& wake,
                           const platform::LocalTime& now) {
    const auto due = earliest_due(main, now);
    if (same(due, armed_)) return;
    if (due) {
        wake.arm(*due);
    } else {
        wake.cancel();
    }
    armed_ = due;
}

void ReminderWatch::after_tick(const ui::Form& main, platform::Services& services) {
    if (!main.alive()) return;
    follow(main, services.wake, services.clock.now());
    warn_before_shutdown(main, services.desktop);
}

void ReminderWatch::rearm(const ui::Form& main, platform::Services& services) {
    if (!main.alive()) return;
    const auto was = armed_;
    armed_.reset();
    const platform::LocalTime now = services.clock.now();
    if (was && !earliest_due(main, now)) armed_ = was;  // so that it is cancelled
    follow(main, services.wake, now);
}

void ReminderWatch::resumed(const ui::Form& main, platform::Services& services) {
    rearm(main, services);
    if (!armed_) return;
    const long wait = minutes_between(services.clock.now(), *armed_);
    if (wait >= -1 && wait <= 2) services.wake.hold_awake(true);
}

// Same text equality as the shutdown check itself, one minute ahead: an
// unset or never-matching reminder is never announced.
void ReminderWatch::warn_before_shutdown(const ui::Form& main, platform::Desktop& desktop) {
    const auto next = next_minute(main);
    const bool due_next = next && main.text(编辑框2) == shutdown_marker &&
                          main.text(透明标签7) == next->first &&
                          main.text(透明标签8) == next->second;
    if (due_next && !warned_)
        desktop.warn(shutdown_warning(main.text(透明标签7), main.text(透明标签8)));
    warned_ = due_next;
}

}  // namespace quorvel::reminders
