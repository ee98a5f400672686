#include "platform/win32/services/tray.h"

#include <shellapi.h>

#include <algorithm>

#include "platform/win32/base/helper_window.h"

namespace quorvel::win32 {

namespace {

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
    const std::size_t n = std::min(tip_.size(), std::size(d.szTip) - 1);
    std::copy_n(tip_.begin(), n, d.szTip);
    return Shell_NotifyIconW(message, &d) != FALSE;
}

void TrayIcon::hide_to_tray(HWND window, const std::wstring& tip) {
    tip_ = tip;
    if (!add(shown_ ? NIM_MODIFY : NIM_ADD)) return;  // stay visible: never lost
    shown_ = true;
    hidden_ = window;
    ShowWindow(window, SW_HIDE);
}

void TrayIcon::remove() {
    if (!shown_) return;
    NOTIFYICONDATAW d = icon_data(window_.get());
    Shell_NotifyIconW(NIM_DELETE, &d);
    shown_ = false;
}

void TrayIcon::restore() {
    remove();
    if (hidden_ && IsWindow(hidden_)) {
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
        }
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
