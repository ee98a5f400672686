// The operating-system services the core calls. The core never reads the
// clock, the screen or a file by itself; every such fact comes in here.
// Production implementations live in platform/win32, doubles in tests/.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ui/design.h"
#include "ui/options_design.h"

namespace quorvel::ui {
class Form;
}

namespace quorvel::platform {

struct LocalTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // Local wall-clock time, one snapshot, one-second resolution.
    virtual LocalTime now() = 0;
};

// One pending callback at most; starting again replaces the pending one.
class OneShotTimer {
  public:
    virtual ~OneShotTimer() = default;
    virtual void start(int milliseconds, std::function<void()> due) = 0;
    virtual void cancel() = 0;
};

class Sound {
  public:
    virtual ~Sound() = default;
    // Plays the file `times` times, one play after the other, and returns at
    // once. A path that cannot be played gives silence and no message.
    virtual void play(const std::string& path, int times) = 0;
    virtual void stop_all() = 0;
};

class AlarmBox {
  public:
    virtual ~AlarmBox() = default;
    // Task-modal OK box with no owner; returns when dismissed. Messages,
    // clock ticks among them, keep being dispatched while it is open.
    virtual void show(const std::string& text, const std::string& title) = 0;
};

// The wake-up timer for armed reminders, and the system's keep-awake hold.
// A system that refuses either changes nothing else.
class Wake {
  public:
    virtual ~Wake() = default;
    // Wakes the computer at this local time (second 0), replacing any
    // earlier request; asking again for the same time changes nothing.
    virtual void arm(const LocalTime& due) = 0;
    virtual void cancel() = 0;
    // Holds the system and the display awake, or lets them sleep again.
    virtual void hold_awake(bool hold) = 0;
};

class Power {
  public:
    virtual ~Power() = default;
    // Forced shutdown with power-off; refusals are dropped silently.
    virtual void force_shutdown() = 0;
};

class Shell {
  public:
    virtual ~Shell() = default;
    // The shell's "open" action; failures are ignored.
    virtual void open(const std::string& address) = 0;
};

class Desktop {
  public:
    virtual ~Desktop() = default;
    virtual bool is_zoomed(std::uintptr_t window) = 0;
    // The work area of the monitor that holds the window whose outer
    // rectangle this is (the nearest one when none does), or nothing when
    // the query fails.
    virtual std::optional<ui::Rect> work_area_of(const ui::Rect& window) = 0;
    // A rounded rectangle (0, 0, right, bottom) with corner ellipse w x h,
    // given to the window without redraw; kept by the window once accepted.
    virtual void set_round_region(std::uintptr_t window, int right, int bottom, int ellipse_w,
                                  int ellipse_h) = 0;
    virtual void apply_control_skin(int scheme) = 0;
    virtual void set_maximised(std::uintptr_t window, bool maximised) = 0;
    // Hides the window behind a notification-area icon (the program icon,
    // with `tip` as its tooltip); a click on the icon brings it back.
    virtual void hide_to_tray(std::uintptr_t window, const std::string& tip) = 0;
    // A notification-area balloon with the program icon and its title; the
    // icon it needs goes again afterwards unless the window is hidden there.
    virtual void warn(const std::string& text) = 0;
    virtual void release_capture() = 0;
    // Synchronous window message, for the caption behaviour of the frame.
    virtual void send_message(std::uintptr_t window, unsigned message, std::uintptr_t wparam,
                              std::intptr_t lparam) = 0;
};

// Realises forms as system windows and runs their message loops.
class Windows {
  public:
    virtual ~Windows() = default;
    // Creates the window and all its controls hidden, in stacking order, and
    // attaches the form's view; starts timers. Runs no event handler.
    virtual bool create(ui::Form& form) = 0;
    virtual void show_controls(ui::Form& form) = 0;
    virtual void show(ui::Form& form) = 0;
    // Disables the program's other windows, dispatches messages until the
    // form's window is gone, then gives them their enabled state back.
    virtual void run_modal(ui::Form& form) = 0;
    // Deferred: the window goes once the running handler has returned.
    virtual void close_later(ui::Form& form) = 0;
    // The confirmed file's full path, or nothing when cancelled.
    virtual std::optional<std::string> open_file(const ui::options_window::FileDialogSettings& s,
                                                 const std::string& initial_name) = 0;
    virtual int run_loop() = 0;  // until the quit request; returns its exit code
    virtual void post_quit(int exit_code) = 0;
    virtual void report_fatal(const std::string& message) = 0;
};

struct Services {
    Clock& clock;
    OneShotTimer& colon_timer;
    Sound& sound;
    AlarmBox& alarm_box;
    Power& power;
    Wake& wake;
    Shell& shell;
    Desktop& desktop;
    Windows& windows;
    std::string help_address;  // the page opened at each start
};

}  // namespace quorvel::platform
