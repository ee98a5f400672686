// Quorvel: wWinMain wires the Win32 services to the portable program.
#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

#include <string>

#include "app/app.h"
#include "platform/win32/base/com.h"
#include "platform/win32/base/text.h"
#include "platform/win32/forms/pictures.h"
#include "platform/win32/forms/window_system.h"
#include "platform/win32/services/system_services.h"
#include "platform/win32/sound/sound_thread.h"

namespace {

// file: URL of the user guide beside the program.
std::string help_address() {
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    path.resize(path.find_last_of(L'\\') + 1);
    path += L"help.html";
    std::wstring url(path.size() * 3 + 16, L'\0');
    DWORD size = static_cast<DWORD>(url.size());
    if (FAILED(UrlCreateFromPathW(path.c_str(), url.data(), &size, 0))) return {};
    url.resize(size);
    return quorvel::win32::narrow(url);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace quorvel;
    win32::ComApartment com;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);

    win32::PictureStore pictures(instance);
    win32::LocalClock clock;
    win32::MessageTimer colon;
    win32::SoundThread sound;
    // The notification area shows icons at the system DPI.
    win32::TrayIcon tray(pictures.icon(GetSystemMetrics(SM_CXSMICON)));
    win32::TaskModalBox box(tray);
    win32::ForcedShutdown power;
    win32::WakeTimer wake;
    win32::ShellOpen shell;
    win32::SystemDesktop desktop(tray);
    win32::WindowSystem windows(instance, pictures);
    windows.on_session_end([&] {
        sound.stop_all();
        tray.remove();
    });
    platform::Services services{clock, colon, sound,   box,     power,
                                wake,  shell, desktop, windows, help_address()};
    app::App program(services);
    return app::run(program);
}
