#include "platform/win32/services/system_services.h"

#include <shellapi.h>

#include "platform/win32/base/com.h"
#include "platform/win32/base/text.h"

namespace quorvel::win32 {

ShellOpen::~ShellOpen() {
    for (std::thread& t : requests_) t.join();
}

void ShellOpen::open(const std::string& address) {
    requests_.emplace_back([target = widen(address)] {
        // As the shell asks of a thread that calls it; no error dialogs, for
        // failures are ignored, and the request completes before the thread ends.
        const ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        info.lpVerb = L"open";
        info.lpFile = target.c_str();
        info.nShow = SW_SHOWNORMAL;
        ShellExecuteExW(&info);
    });
}

}  // namespace quorvel::win32
