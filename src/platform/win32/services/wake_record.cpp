// The end-to-end build: wake-up requests are only recorded, in the file
// named by QUORVEL_WAKE_LOG.
#include <cstdio>

#include "platform/win32/services/request_log.h"
#include "platform/win32/services/system_services.h"

namespace quorvel::win32 {

WakeTimer::WakeTimer() = default;

void WakeTimer::arm(const platform::LocalTime& due) {
    char line[40];
    std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d\n", due.year, due.month, due.day,
                  due.hour, due.minute);
    append_request(L"QUORVEL_WAKE_LOG", line);
}

void WakeTimer::cancel() {
    append_request(L"QUORVEL_WAKE_LOG", "cancel\n");
}

}  // namespace quorvel::win32
