#include "platform/win32/base/helper_window.h"

namespace quorvel::win32 {

UniqueWindow helper_window(const wchar_t* class_name, WNDPROC proc, void* owner,
                           bool message_only) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = class_name;
    RegisterClassExW(&wc);
    UniqueWindow window(CreateWindowExW(0, class_name, L"", message_only ? 0 : WS_POPUP, 0, 0, 0, 0,
                                        message_only ? HWND_MESSAGE : nullptr, nullptr, instance,
                                        nullptr));
    if (window) SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return window;
}

}  // namespace quorvel::win32
