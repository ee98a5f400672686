// Linked into the shipped quorvel.exe only: the real wake-up timer.
#include "platform/win32/services/system_services.h"

namespace quorvel::win32 {

WakeTimer::WakeTimer() : timer_(CreateWaitableTimerW(nullptr, TRUE, nullptr)) {}

void WakeTimer::arm(const platform::LocalTime& due) {
    if (!timer_) return;
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(due.year);
    local.wMonth = static_cast<WORD>(due.month);
    local.wDay = static_cast<WORD>(due.day);
    local.wHour = static_cast<WORD>(due.hour);
    local.wMinute = static_cast<WORD>(due.minute);
    // The local time as the current time zone rules place it in UTC.
    SYSTEMTIME utc{};
    FILETIME at{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
        !SystemTimeToFileTime(&utc, &at)) {
        CancelWaitableTimer(timer_.get());
        return;
    }
    LARGE_INTEGER when{};
    when.LowPart = at.dwLowDateTime;
    when.HighPart = static_cast<LONG>(at.dwHighDateTime);
    // A system without wake timers sets it all the same (ERROR_NOT_SUPPORTED):
    // the reminder then fires when the computer is next awake, as before.
    SetWaitableTimer(timer_.get(), &when, 0, nullptr, nullptr, TRUE);
}

void WakeTimer::cancel() {
    if (timer_) CancelWaitableTimer(timer_.get());
}

}  // namespace quorvel::win32
