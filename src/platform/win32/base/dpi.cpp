#include "platform/win32/base/dpi.h"

namespace quorvel::win32 {

namespace {

template <typename F>
F user32_function(const char* name) {
    static HMODULE const user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

int system_dpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int d = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
        if (screen) ReleaseDC(nullptr, screen);
        return d > 0 ? d : ui::Scale::designed_dpi;
    }();
    return dpi;
}

int window_dpi(HWND window) {
    static const auto for_window = user32_function<GetDpiForWindowFn>("GetDpiForWindow");
    if (for_window && window) {
        if (const UINT dpi = for_window(window); dpi > 0) return static_cast<int>(dpi);
    }
    return system_dpi();
}

RECT outer_for_client(RECT client, DWORD style, DWORD ex_style, int dpi) {
    static const auto for_dpi =
        user32_function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    RECT r = client;
    if (for_dpi && for_dpi(&r, style, FALSE, ex_style, static_cast<UINT>(dpi))) return r;
    r = client;
    AdjustWindowRectEx(&r, style, FALSE, ex_style);
    return r;
}

UniqueFont gui_font_for(int dpi) {
    const int system = system_dpi();
    if (dpi == system) return {};
    LOGFONTW lf{};
    if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)) return {};
    lf.lfHeight = MulDiv(lf.lfHeight, dpi, system);
    lf.lfWidth = MulDiv(lf.lfWidth, dpi, system);
    return UniqueFont(CreateFontIndirectW(&lf));
}

}  // namespace quorvel::win32
