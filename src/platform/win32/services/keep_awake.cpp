// Both builds: holding the system and the display awake after a resume,
// until the reminder that woke the computer has fired.
#include "platform/win32/services/system_services.h"

namespace quorvel::win32 {

void WakeTimer::hold_awake(bool hold) {
    SetThreadExecutionState(hold ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED
                                 : ES_CONTINUOUS);
}

}  // namespace quorvel::win32
