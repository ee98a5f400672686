#include "platform/win32/services/tray.h"

#include <shellapi.h>

#include <algorithm>

#include "platform/win32/base/helper_window.h"

namespace quorvel::win32 {

namespace {

// Removes an icon shown only for a balloon, should the shell never say the
// balloon is over.
constexpr UINT_PTR kBalloonTimer = 1;
constexpr UINT kBalloonMs = 20000;

template <std::size_t N>
void copy_text(wchar_t (&to)[N], const std::wstring& from) {
    const std::size_t n = std::min(from.size(), N - 1);
    std::copy_n(from.begin(), n, to);
    to[n] = L'\0';
}

NOTIFYICONDATAW icon_data(HWND window) {
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof d;
    d.hWnd = window;
    d.uID = 1;
    return d;
}

// Broadcast to top-level windows when the taskbar is (re)created: every
// notification-area icon is gone then and must be added again.
UINT taskbar_created() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

}  // namespace

// A hidden top-level window: the shell sends icon messages to it.
TrayIcon::TrayIcon(HICON icon)
    : window_(helper_window(tray_class, proc, this, false)), icon_(icon) {
    taskbar_created();
}

bool TrayIcon::add(DWORD message) {
    NOTIFYICONDATAW d = icon_data(window_.get());
    d.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    d.uCallbackMessage = tray_callback;
    d.hIcon = icon_;
    copy_text(d.szTip, tip_);
    return Shell_NotifyIconW(message, &d) != FALSE;
}

void TrayIcon::hide_to_tray(HWND window, const std::wstring& tip) {
    tip_ = tip;
    if (!add(shown_ ? NIM_MODIFY : NIM_ADD)) return;  // stay visible: never lost
    shown_ = true;
    for_balloon_ = false;
    hidden_ = window;
    ShowWindow(window, SW_HIDE);
}

void TrayIcon::remove() {
    if (!shown_) return;
    KillTimer(window_.get(), kBalloonTimer);
    NOTIFYICONDATAW d = icon_data(window_.get());
    Shell_NotifyIconW(NIM_DELETE, &d);
    shown_ = false;
    for_balloon_ = false;
}

void TrayIcon::balloon(const std::wstring& title, const std::wstring& text) {
    if (!shown_) {
        if (tip_.empty()) tip_ = title;
        if (!add(NIM_ADD)) return;
        shown_ = true;
        for_balloon_ = true;
    }
    NOTIFYICONDATAW d = icon_data(window_.get());
    d.uFlags = NIF_INFO;
    copy_text(d.szInfoTitle, title);
    copy_text(d.szInfo, text);
    d.uTimeout = 10000;
    d.dwInfoFlags = NIIF_USER;  // the icon's own picture
    Shell_NotifyIconW(NIM_MODIFY, &d);
    if (for_balloon_) SetTimer(window_.get(), kBalloonTimer, kBalloonMs, nullptr);
}

void TrayIcon::balloon_over() {
    if (for_balloon_) remove();
}

void TrayIcon::restore() {
    if (!hidden_) return;  // an icon shown for a balloon stays until it is over
    remove();
    if (IsWindow(hidden_)) {
        ShowWindow(hidden_, SW_SHOW);
        SetForegroundWindow(hidden_);
    }
    hidden_ = nullptr;
}

LRESULT CALLBACK TrayIcon::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == tray_callback) {
        const UINT event = LOWORD(lp);
        if (event == WM_LBUTTONUP || event == WM_LBUTTONDBLCLK || event == NIN_SELECT ||
            event == NIN_KEYSELECT) {
            if (auto* self = owner_of<TrayIcon>(hwnd)) self->restore();
        } else if (event == NIN_BALLOONTIMEOUT || event == NIN_BALLOONUSERCLICK) {
            if (auto* self = owner_of<TrayIcon>(hwnd)) self->balloon_over();
        }
        return 0;
    }
    if (msg == WM_TIMER && wp == kBalloonTimer) {
        if (auto* self = owner_of<TrayIcon>(hwnd)) self->balloon_over();
        return 0;
    }
    if (msg == taskbar_created()) {
        auto* self = owner_of<TrayIcon>(hwnd);
        if (self && self->shown_ && !self->add(NIM_ADD)) self->restore();  // never lost
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace quorvel::win32
