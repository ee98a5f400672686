// The end-to-end build: a power-off request is only recorded, one line each
// in the file named by QUORVEL_POWER_LOG.
#include <windows.h>

#include <string>

#include "platform/win32/services/request_log.h"
#include "platform/win32/services/system_services.h"

namespace quorvel::win32 {

void power_off_now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    append_request(L"QUORVEL_POWER_LOG", "poweroff " + std::to_string(t.wHour) + ":" +
                                             std::to_string(t.wMinute) + ":" +
                                             std::to_string(t.wSecond) + "\n");
}

}  // namespace quorvel::win32
