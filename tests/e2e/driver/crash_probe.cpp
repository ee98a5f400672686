// A program that goes wrong on purpose, so the harness can show it catches
// what a real fault looks like: "fault" writes through a null pointer,
// "linger" destroys its only window and stays on.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    const wchar_t* mode = argc > 1 ? argv[1] : L"";
    if (std::wcscmp(mode, L"fault") == 0) {
        *static_cast<volatile int*>(nullptr) = 1;
        return 0;
    }
    if (std::wcscmp(mode, L"linger") == 0) {
        HWND w = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                 nullptr, nullptr, nullptr, nullptr);
        Sleep(1000);
        DestroyWindow(w);
        Sleep(60000);
        return 0;
    }
    return 0;
}
