// The services room: the small system services the core calls through
// platform/services.h, one file each: local clock, the colon's one-shot
// timer, the alarm box, the shell's open, the desktop (zoom, work area,
// region, skin, notification-area icon) and the forced shutdown, whose last
// step is linked per executable (the shipped one powers off, the end-to-end
// one records; so does the wake-up timer's). It uses base/ and, for the
// desktop's skin call, skin/.
#pragma once

#include <windows.h>

#include <functional>
#include <thread>
#include <vector>

#include "platform/services.h"
#include "platform/win32/base/handles.h"
#include "platform/win32/services/tray.h"

namespace quorvel::win32 {

class LocalClock final : public platform::Clock {
  public:
    platform::LocalTime now() override;
};

// A message-only window's timer: it fires in whatever loop the UI thread
// runs, the alarm box's and the move loop's included.
class MessageTimer final : public platform::OneShotTimer {
  public:
    MessageTimer();
    void start(int milliseconds, std::function<void()> due) override;
    void cancel() override;

  private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    UniqueWindow window_;
    std::function<void()> due_;
};

// Brings a window hidden in the notification area back first, then shows
// the box topmost and asks for the foreground; where that is refused, the
// box flashes.
class TaskModalBox final : public platform::AlarmBox {
  public:
    explicit TaskModalBox(TrayIcon& tray) : tray_(tray) {}
    void show(const std::string& text, const std::string& title) override;

  private:
    TrayIcon& tray_;
};

// Opens on a worker thread: a browser that is slow to start must not hold
// up the window. The destructor waits for the requests still running.
class ShellOpen final : public platform::Shell {
  public:
    ShellOpen() = default;
    ShellOpen(const ShellOpen&) = delete;
    ShellOpen& operator=(const ShellOpen&) = delete;
    ~ShellOpen() override;
    void open(const std::string& address) override;

  private:
    std::vector<std::thread> requests_;
};

class SystemDesktop final : public platform::Desktop {
  public:
    explicit SystemDesktop(TrayIcon& tray) : tray_(tray) {}
    bool is_zoomed(std::uintptr_t window) override;
    std::optional<ui::Rect> work_area_of(const ui::Rect& window) override;
    void set_round_region(std::uintptr_t window, int right, int bottom, int ew, int eh) override;
    void apply_control_skin(int scheme) override;
    void release_capture() override;
    void send_message(std::uintptr_t window, unsigned message, std::uintptr_t wparam,
                      std::intptr_t lparam) override;
    void set_maximised(std::uintptr_t window, bool maximised) override;
    void hide_to_tray(std::uintptr_t window, const std::string& tip) override;
    void warn(const std::string& text) override;

  private:
    TrayIcon& tray_;
};

class ForcedShutdown final : public platform::Power {
  public:
    void force_shutdown() override;
};

// One waitable timer with resume. The shipped program sets it; the
// end-to-end build records each request in the file named by
// QUORVEL_WAKE_LOG instead ("YYYY-MM-DD HH:MM", or "cancel").
class WakeTimer final : public platform::Wake {
  public:
    WakeTimer();
    void arm(const platform::LocalTime& due) override;
    void cancel() override;
    void hold_awake(bool hold) override;

  private:
    UniqueKernelHandle timer_;
};

// The last step of a forced shutdown. The shipped program links the real
// call; the end-to-end build links one that only records the request.
void power_off_now();

}  // namespace quorvel::win32
