// Linked into the shipped quorvel.exe only.
#include <windows.h>

#include "platform/win32/services/system_services.h"

namespace quorvel::win32 {

void power_off_now() {
    ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0);
}

}  // namespace quorvel::win32
