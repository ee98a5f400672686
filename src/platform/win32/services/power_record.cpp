// The end-to-end build: a power-off request is only recorded, one line each
// in the file named by QUORVEL_POWER_LOG, for the test driver to read.
#include <windows.h>

#include <string>

#include "platform/win32/base/handles.h"
#include "platform/win32/services/system_services.h"

namespace quorvel::win32 {

void power_off_now() {
    wchar_t path[MAX_PATH * 4] = {};
    if (!GetEnvironmentVariableW(L"QUORVEL_POWER_LOG", path, static_cast<DWORD>(std::size(path))))
        return;
    UniqueKernelHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return;
    }
    SYSTEMTIME t{};
    GetLocalTime(&t);
    const std::string line = "poweroff " + std::to_string(t.wHour) + ":" +
                             std::to_string(t.wMinute) + ":" + std::to_string(t.wSecond) + "\n";
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace quorvel::win32
