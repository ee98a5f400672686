#include "platform/win32/tray.h"

#include <shellapi.h>

#include <algorithm>

namespace quorvel::win32 {

namespace {

NOTIFYICONDATAW icon_data(HWND window) {
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof d;
    d.hWnd = window;
    d.uID = 1;
    return d;
}

}  // namespace

TrayIcon::TrayIcon(HINSTANCE instance, HICON icon) : icon_(icon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = tray_class;
    RegisterClassExW(&wc);
    // A hidden top-level window: the shell sends icon messages to it.
    window_.reset(CreateWindowExW(0, tray_class, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, nullptr));
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TrayIcon::hide_to_tray(HWND window, const std::wstring& tip) {
    NOTIFYICONDATAW d = icon_data(window_.get());
    d.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    d.uCallbackMessage = tray_callback;
    d.hIcon = icon_;
    const std::size_t n = std::min(tip.size(), std::size(d.szTip) - 1);
    std::copy_n(tip.begin(), n, d.szTip);
    if (!Shell_NotifyIconW(shown_ ? NIM_MODIFY : NIM_ADD, &d)) return;  // stay visible: never lost
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
            if (auto* self = reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
                self->restore();
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace quorvel::win32
