#include "reminders/next_due.h"

#include <ctime>
#include <tuple>

#include "clock/date_line.h"

namespace quorvel::reminders {

namespace {

// The number whose clock text this is, within [0, limit).
std::optional<int> clock_number(const std::string& text, int limit) {
    for (int n = 0; n < limit; ++n)
        if (clock::number_text(n) == text) return n;
    return std::nullopt;
}

std::tm to_tm(const platform::LocalTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;  // whichever applies on that day
    return tm;
}

// hour:minute on the day `days` after `today`, or nothing when the clocks
// skip it that day (mktime then moves it to another hour).
std::optional<platform::LocalTime> occurrence(const platform::LocalTime& today, int days, int hour,
                                              int minute) {
    std::tm tm = to_tm({today.year, today.month, today.day + days, hour, minute, 0});
    if (std::mktime(&tm) == static_cast<std::time_t>(-1)) return std::nullopt;
    if (tm.tm_hour != hour || tm.tm_min != minute) return std::nullopt;
    return platform::LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, hour, minute, 0};
}

}  // namespace

std::optional<platform::LocalTime> next_due(const platform::LocalTime& now, const std::string& hour,
                                            const std::string& minute) {
    const auto h = clock_number(hour, 24);
    const auto m = clock_number(minute, 60);
    if (!h || !m) return std::nullopt;
    const bool passed_today = std::tie(*h, *m) < std::tie(now.hour, now.minute);
    // A skipped hour is skipped on one day only; two more days always hold it.
    for (int days = passed_today ? 1 : 0; days < 4; ++days) {
        if (const auto due = occurrence(now, days, *h, *m)) return due;
    }
    return std::nullopt;
}

long minutes_between(const platform::LocalTime& from, const platform::LocalTime& to) {
    std::tm a = to_tm(from);
    std::tm b = to_tm(to);
    return static_cast<long>(std::difftime(std::mktime(&b), std::mktime(&a)) / 60);
}

}  // namespace quorvel::reminders
