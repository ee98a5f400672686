#include "reminders/reminder_check.h"

#include "clock/date_line.h"
#include "ui/main_design.h"

namespace quorvel::reminders {

using namespace ui::main_window;

namespace {

void fire_alarm(ui::Form& main, platform::Services& services, const platform::LocalTime& now) {
    services.sound.play(main.text(编辑框1), 3);
    // Disarm before the box: ticks keep running inside it.
    main.set_text(透明标签6, fired_minute);
    const std::string title =
        "现在时间:" + clock::number_text(now.hour) + ":" + clock::number_text(now.minute);
    services.alarm_box.show("时间到!!!", title);
    services.wake.hold_awake(false);  // held since a resume, if at all
    services.windows.close_later(main);
}

}  // namespace

void reminder_check(ui::Form& main, platform::Services& services, const platform::LocalTime& now) {
    if (main.text(透明标签5) == main.text(透明标签9) &&
        main.text(透明标签6) == main.text(透明标签10)) {
        fire_alarm(main, services, now);
    }
    // Read afresh: ticks inside the alarm box have moved the current-time
    // fields on, and a minute that has passed must not power off.
    if (main.text(透明标签7) == main.text(透明标签9) &&
        main.text(透明标签8) == main.text(透明标签10) && main.text(编辑框2) == shutdown_marker) {
        services.power.force_shutdown();
        services.wake.hold_awake(false);
    }
}

}  // namespace quorvel::reminders
