#include "platform/win32/services/system_services.h"

#include <objbase.h>
#include <shellapi.h>

#include "platform/win32/base/helper_window.h"
#include "platform/win32/skin/skin.h"
#include "platform/win32/base/text.h"

namespace quorvel::win32 {

namespace {
HWND to_hwnd(std::uintptr_t h) {
    return reinterpret_cast<HWND>(h);
}
constexpr UINT_PTR colon_timer_id = 1;
}  // namespace

platform::LocalTime LocalClock::now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

MessageTimer::MessageTimer() : window_(helper_window(L"QuorvelTimer", proc, this)) {}

void MessageTimer::start(int milliseconds, std::function<void()> due) {
    due_ = std::move(due);
    SetTimer(window_.get(), colon_timer_id, static_cast<UINT>(milliseconds), nullptr);
}

void MessageTimer::cancel() {
    KillTimer(window_.get(), colon_timer_id);
    due_ = nullptr;
}

LRESULT CALLBACK MessageTimer::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == colon_timer_id) {
        auto* self = owner_of<MessageTimer>(hwnd);
        KillTimer(hwnd, colon_timer_id);
        if (self && self->due_) {
            auto due = std::move(self->due_);
            self->due_ = nullptr;
            due();
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void TaskModalBox::show(const std::string& text, const std::string& title) {
    MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(), MB_OK | MB_TASKMODAL);
}

ShellOpen::~ShellOpen() {
    for (std::thread& t : requests_) t.join();
}

void ShellOpen::open(const std::string& address) {
    requests_.emplace_back([target = widen(address)] {
        // As the shell asks of a thread that calls it; no error dialogs, for
        // failures are ignored, and the request completes before the thread ends.
        const HRESULT com =
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        info.lpVerb = L"open";
        info.lpFile = target.c_str();
        info.nShow = SW_SHOWNORMAL;
        ShellExecuteExW(&info);
        if (SUCCEEDED(com)) CoUninitialize();
    });
}

bool SystemDesktop::is_zoomed(std::uintptr_t window) {
    return IsZoomed(to_hwnd(window)) != 0;
}

std::optional<ui::Rect> SystemDesktop::work_area() {
    RECT r{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return std::nullopt;
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
