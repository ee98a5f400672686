// The base room: what every other room of the Win32 layer stands on, and
// nothing of the program's own. Owners of handles and COM objects, UTF-8 to
// UTF-16 and back, the hidden helper windows that carry one object's
// messages, and the resource ids. It uses only the system's headers.
//
// Owners of Win32 handles. Each closes its handle exactly once; copies are
// deleted so a handle can never be closed twice or leak by accident.
#pragma once

#include <windows.h>

#include <utility>

namespace quorvel::win32 {

template <class Handle, class Traits>
class Unique {
  public:
    Unique() = default;
    explicit Unique(Handle h) : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, Handle{})) {}
    Unique& operator=(Unique&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Handle{}));
        return *this;
    }
    ~Unique() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Handle{}; }
    Handle release() { return std::exchange(h_, Handle{}); }
    void reset(Handle h = Handle{}) {
        if (h_ != Handle{}) Traits::close(h_);
        h_ = h;
    }

  private:
    Handle h_{};
};

struct WindowTraits {
    static void close(HWND h) { DestroyWindow(h); }
};
struct GdiTraits {
    static void close(HGDIOBJ h) { DeleteObject(h); }
};
struct DcTraits {
    static void close(HDC h) { DeleteDC(h); }
};
struct IconTraits {
    static void close(HICON h) { DestroyIcon(h); }
};
struct HookTraits {
    static void close(HHOOK h) { UnhookWindowsHookEx(h); }
};
struct KernelTraits {
    static void close(HANDLE h) { CloseHandle(h); }
};
struct ModuleTraits {
    static void close(HMODULE h) { FreeLibrary(h); }
};

using UniqueWindow = Unique<HWND, WindowTraits>;
using UniqueDc = Unique<HDC, DcTraits>;
using UniqueIcon = Unique<HICON, IconTraits>;
using UniqueHook = Unique<HHOOK, HookTraits>;
using UniqueKernelHandle = Unique<HANDLE, KernelTraits>;
using UniqueModule = Unique<HMODULE, ModuleTraits>;

template <class T>
struct TypedGdiTraits {
    static void close(T h) { DeleteObject(h); }
};
template <class T>
using UniqueGdi = Unique<T, TypedGdiTraits<T>>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueFont = UniqueGdi<HFONT>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueRegion = UniqueGdi<HRGN>;

// Selects an object into a DC for the scope, then puts the old one back.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { SelectObject(dc_, old_); }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// A memory DC with a bitmap of the given size, for flicker-free painting.
class Canvas {
  public:
    Canvas(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
          select_(dc_.get(), bitmap_.get()) {}
    HDC dc() const { return dc_.get(); }

  private:
    UniqueDc dc_;
    UniqueBitmap bitmap_;
    Selection select_;
};

class PaintScope {
  public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    HDC dc() const { return ps_.hdc; }

  private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
};

}  // namespace quorvel::win32
