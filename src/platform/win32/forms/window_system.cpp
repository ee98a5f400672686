#include "platform/win32/forms/window_system.h"

#include <commdlg.h>

#include <algorithm>

#include "platform/win32/base/text.h"

namespace quorvel::win32 {

WindowSystem::WindowSystem(HINSTANCE instance, PictureStore& pictures)
    : instance_(instance), pictures_(pictures) {
    session_end_ = [this] {
        if (release_) release_();
        // Newest first: the options window before the main one. Each raises
        // its destroyed event, so the ending rule asks for the quit.
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
            if ((*it)->alive()) DestroyWindow((*it)->hwnd());
    };
    register_window_classes(instance, pictures);
    owner_.reset(CreateWindowExW(0, owner_class, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 instance, nullptr));
}

FormWindow* WindowSystem::find(const ui::Form& form) const {
    for (const auto& w : windows_)
        if (&w->form() == &form) return w.get();
    return nullptr;
}

void WindowSystem::forget_closed() {
    std::erase_if(windows_, [](const auto& w) { return !w->alive(); });
}

bool WindowSystem::create(ui::Form& form) {
    forget_closed();
    auto w = std::make_unique<FormWindow>(form, instance_, owner_.get(), pictures_, session_end_);
    if (!w->create()) return false;
    windows_.push_back(std::move(w));
    return true;
}

void WindowSystem::show_controls(ui::Form& form) {
    if (FormWindow* w = find(form)) w->show_controls();
}

void WindowSystem::show(ui::Form& form) {
    if (FormWindow* w = find(form)) w->show();
}

void WindowSystem::dispatch(MSG& msg) {
    for (const auto& w : windows_)
        if (w->alive() && w->pretranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void WindowSystem::run_modal(ui::Form& form) {
    FormWindow* modal = find(form);
    if (!modal) return;
    std::vector<HWND> disabled;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
            if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, modal->hwnd());
    for (HWND w : disabled) EnableWindow(w, FALSE);
    modal->keep_disabled(disabled);

    MSG msg;
    while (modal->alive()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
        dispatch(msg);
    }
    if (modal->alive()) DestroyWindow(modal->hwnd());
    forget_closed();
}

void WindowSystem::close_later(ui::Form& form) {
    if (FormWindow* w = find(form); w && w->alive()) PostMessageW(w->hwnd(), WM_CLOSE, 0, 0);
}

std::optional<std::string> WindowSystem::open_file(const ui::options_window::FileDialogSettings& s,
                                                   const std::string& initial_name) {
    // Room for long paths; the dialog hands back the full path of the file.
    std::wstring buffer(32768, L'\0');
    const std::wstring initial = widen(initial_name);
    std::copy_n(initial.begin(), std::min(initial.size(), buffer.size() - 1), buffer.begin());
    const std::wstring title = widen(s.title);
    const std::wstring extension = widen(s.default_extension);
    std::wstring filter = widen(s.filter_description);
    filter.push_back(L'\0');
    filter += widen(s.filter_pattern);
    filter.push_back(L'\0');
    filter += L"所有文件 (*.*)";
    filter.push_back(L'\0');
    filter += L"*.*";
    filter.push_back(L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = extension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                OFN_OVERWRITEPROMPT;
    if (!comdlg_) comdlg_.reset(LoadLibraryW(L"comdlg32.dll"));  // a known DLL: system32's
    using Open = BOOL(WINAPI*)(OPENFILENAMEW*);
    const auto get_open_file_name =
        comdlg_ ? reinterpret_cast<Open>(
                      reinterpret_cast<void*>(GetProcAddress(comdlg_.get(), "GetOpenFileNameW")))
                : nullptr;
    if (!get_open_file_name || !get_open_file_name(&ofn)) return std::nullopt;
    return narrow(buffer.c_str());
}

int WindowSystem::run_loop() {
    MSG msg{};
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) dispatch(msg);
    return got == 0 ? static_cast<int>(msg.wParam) : 0;
}

void WindowSystem::post_quit(int exit_code) {
    PostQuitMessage(exit_code);
}

void WindowSystem::report_fatal(const std::string& message) {
    MessageBoxW(nullptr, widen(message).c_str(), L"Quorvel", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace quorvel::win32
