#include "platform/win32/services/request_log.h"

#include <windows.h>

#include "platform/win32/base/handles.h"

namespace quorvel::win32 {

void append_request(const wchar_t* variable, const std::string& line) {
    wchar_t path[MAX_PATH * 4] = {};
    if (!GetEnvironmentVariableW(variable, path, static_cast<DWORD>(std::size(path)))) return;
    UniqueKernelHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return;
    }
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace quorvel::win32
