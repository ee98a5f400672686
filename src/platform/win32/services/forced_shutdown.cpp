#include "platform/win32/services/system_services.h"

namespace quorvel::win32 {

void ForcedShutdown::force_shutdown() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return;
    UniqueKernelHandle token(raw);
    TOKEN_PRIVILEGES tp{};
    if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid)) return;
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    SetLastError(0);
    AdjustTokenPrivileges(token.get(), FALSE, &tp, 0, nullptr, nullptr);
    // ERROR_NOT_ALL_ASSIGNED: the user does not hold the privilege.
    if (GetLastError() != 0) return;
    power_off_now();
}

}  // namespace quorvel::win32
