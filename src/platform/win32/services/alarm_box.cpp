#include "platform/win32/services/system_services.h"

#include "platform/win32/base/text.h"

namespace quorvel::win32 {

void TaskModalBox::show(const std::string& text, const std::string& title) {
    MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(), MB_OK | MB_TASKMODAL);
}

}  // namespace quorvel::win32
