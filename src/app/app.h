// The running program: its services, its windows and the ending rule.
#pragma once

#include <memory>

#include "app/lifecycle.h"
#include "platform/services.h"
#include "reminders/reminder_watch.h"
#include "ui/form.h"

namespace quorvel::app {

struct App {
    explicit App(platform::Services& s);

    platform::Services& services;
    Lifecycle lifecycle;
    ui::Form main;
    std::unique_ptr<ui::Form> options;  // only while the options window is open
    reminders::ReminderWatch watch;
};

inline constexpr const char* main_caption = "Quorvel免费版V1.0";
inline constexpr int skin_scheme = 1;  // blue

// The start-up sequence; returns the process exit code (-1: no main window).
int run(App& app);

void main_window_created(ui::Form& main, platform::Services& services);
void options_window_created(platform::Services& services);
void open_options_window(App& app);

}  // namespace quorvel::app
