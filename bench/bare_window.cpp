// The bare reference: one top-level window, painted by the system, with a
// 1 s timer that does nothing.
#include <windows.h>

namespace {
LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(h, m, w, l);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);  // a first paint to see
    wc.lpszClassName = L"QuorvelMain";  // found by the same driver calls
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, L"bare", WS_POPUP | WS_VISIBLE, 322, 286, 379,
                             195, nullptr, nullptr, instance, nullptr);
    SetTimer(w, 1, 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
