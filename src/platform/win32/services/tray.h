// The notification-area icon that stands in for the missing taskbar button
// while the main window is minimised, and that carries warning balloons.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/base/handles.h"

namespace quorvel::win32 {

inline constexpr wchar_t tray_class[] = L"QuorvelTray";
inline constexpr UINT tray_callback = WM_APP + 1;

class TrayIcon {
  public:
    explicit TrayIcon(HICON icon);
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon() { remove(); }

    // Hides `window` and shows the icon; a click on it brings the window back.
    // The icon comes back by itself when Explorer restarts.
    void hide_to_tray(HWND window, const std::wstring& tip);
    // Brings the hidden window back, if there is one, and removes the icon.
    void restore();
    void remove();
    // A balloon on the icon. Without a hidden window the icon is added for
    // the balloon only and goes again once the balloon is over.
    void balloon(const std::wstring& title, const std::wstring& text);

  private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    bool add(DWORD message);
    void balloon_over();

    UniqueWindow window_;  // receives the icon's mouse messages
    HICON icon_;
    std::wstring tip_;
    HWND hidden_ = nullptr;
    bool shown_ = false;
    bool for_balloon_ = false;  // shown only for a balloon
};

}  // namespace quorvel::win32
