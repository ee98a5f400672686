#include "platform/win32/services/system_services.h"

#include "platform/win32/base/text.h"
#include "platform/win32/skin/skin.h"

namespace quorvel::win32 {

namespace {
HWND to_hwnd(std::uintptr_t h) {
    return reinterpret_cast<HWND>(h);
}
}  // namespace

bool SystemDesktop::is_zoomed(std::uintptr_t window) {
    return IsZoomed(to_hwnd(window)) != 0;
}

std::optional<ui::Rect> SystemDesktop::work_area_of(const ui::Rect& window) {
    const RECT outer{window.left, window.top, window.left + window.width,
                     window.top + window.height};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const HMONITOR monitor = MonitorFromRect(&outer, MONITOR_DEFAULTTONEAREST);
    if (!monitor || !GetMonitorInfoW(monitor, &info)) return std::nullopt;
    const RECT& r = info.rcWork;
    return ui::Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void SystemDesktop::set_round_region(std::uintptr_t window, int right, int bottom, int ew, int eh) {
    UniqueRegion region(CreateRoundRectRgn(0, 0, right, bottom, ew, eh));
    if (region && SetWindowRgn(to_hwnd(window), region.get(), FALSE)) region.release();
}

void SystemDesktop::apply_control_skin(int scheme) {
    win32::apply_control_skin(scheme);
}

void SystemDesktop::release_capture() {
    ReleaseCapture();
}

void SystemDesktop::send_message(std::uintptr_t window, unsigned message, std::uintptr_t wparam,
                                 std::intptr_t lparam) {
    SendMessageW(to_hwnd(window), message, wparam, lparam);
}

void SystemDesktop::set_maximised(std::uintptr_t window, bool maximised) {
    ShowWindow(to_hwnd(window), maximised ? SW_MAXIMIZE : SW_RESTORE);
}

void SystemDesktop::hide_to_tray(std::uintptr_t window, const std::string& tip) {
    tray_.hide_to_tray(to_hwnd(window), widen(tip));
}

void SystemDesktop::warn(const std::string& text) {
    tray_.balloon(L"Quorvel", widen(text));
}

}  // namespace quorvel::win32
