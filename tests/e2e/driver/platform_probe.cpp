// platform_probe: runs pieces of the program's Win32 layer on their own,
// for what the whole program cannot be made to do from outside. It says
// "ready", waits for a line on stdin, does the work, says "done" and waits
// for another line before it ends, so the test can count its objects around
// the work.
//
//   platform_probe refused-regions <count>   window regions the system refuses
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "platform/win32/services/system_services.h"
#include "platform/win32/services/tray.h"

namespace {

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void wait_for_line() {
    char buf[64];
    if (!std::fgets(buf, sizeof buf, stdin)) std::exit(2);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace quorvel::win32;
    if (argc != 3 || std::wcscmp(argv[1], L"refused-regions") != 0) {
        say("usage: platform_probe refused-regions <count>");
        return 2;
    }
    const long count = std::wcstol(argv[2], nullptr, 10);
    TrayIcon tray(nullptr);
    SystemDesktop desktop(tray);
    desktop.set_round_region(0, 380, 196, 5, 5);  // first use loads what GDI caches
    char ready[32];
    std::snprintf(ready, sizeof ready, "ready %lu", GetCurrentProcessId());
    say(ready);
    wait_for_line();
    // No window: the system refuses every region, which stays ours to free.
    for (long i = 0; i < count; ++i) desktop.set_round_region(0, 380, 196, 5, 5);
    say("done");
    wait_for_line();
    return 0;
}
