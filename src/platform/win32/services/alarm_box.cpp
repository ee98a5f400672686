#include <string>

#include "platform/win32/base/text.h"
#include "platform/win32/services/system_services.h"

namespace quorvel::win32 {

namespace {

constexpr UINT kLookMs = 100;  // the box is up by the time this has passed
UINT_PTR look_timer = 0;       // UI thread only

BOOL CALLBACK find_box(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Topmost also where the box's flag is not honoured (Wine); where Windows
// keeps a background program from taking the foreground, the box at least
// flashes until the user looks at it.
void CALLBACK look_at_box(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    look_timer = 0;
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), find_box, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (GetForegroundWindow() == box || SetForegroundWindow(box)) return;
    FLASHWINFO flash{sizeof flash, box, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

}  // namespace

void TaskModalBox::show(const std::string& text, const std::string& title) {
    tray_.restore();
    if (!look_timer) look_timer = SetTimer(nullptr, 0, kLookMs, look_at_box);
    MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(),
                MB_OK | MB_TASKMODAL | MB_TOPMOST | MB_SETFOREGROUND);
    if (look_timer) KillTimer(nullptr, look_timer);
    look_timer = 0;
}

}  // namespace quorvel::win32
