// Owners of DC states for the skin's painters (the handles themselves:
// base/handles.h).
#pragma once

#include <windows.h>

namespace quorvel::win32::skin {

// GetDC / GetWindowDC, released on scope exit.
class WindowDc {
  public:
    WindowDc(HWND window, bool whole_window)
        : window_(window), dc_(whole_window ? GetWindowDC(window) : GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Everything selected or set in a DC within the scope is put back after it.
class SavedDc {
  public:
    explicit SavedDc(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;
    ~SavedDc() {
        if (id_) RestoreDC(dc_, id_);
    }

  private:
    HDC dc_;
    int id_;
};

}  // namespace quorvel::win32::skin
