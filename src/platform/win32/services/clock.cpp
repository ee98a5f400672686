#include "platform/win32/services/system_services.h"

namespace quorvel::win32 {

platform::LocalTime LocalClock::now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace quorvel::win32
