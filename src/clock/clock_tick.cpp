#include "clock/clock_tick.h"

#include "clock/date_line.h"
#include "reminders/reminder_check.h"
#include "ui/main_design.h"

namespace quorvel::clock {

using namespace ui::main_window;

void clock_tick(ui::Form& main, platform::Services& services) {
    const platform::LocalTime now = services.clock.now();
    main.set_text(透明标签9, number_text(now.hour));
    main.set_text(透明标签10, number_text(now.minute));
    main.set_text(透明标签1, number_text(now.hour));
    main.set_text(透明标签2, number_text(now.minute));

    // Two-digit fill: each test reads its label afresh, so a label written
    // with two characters matches no later digit.
    for (char digit = '0'; digit <= '9'; ++digit) {
        for (const ui::ControlId label : {透明标签1, 透明标签2}) {
            if (main.text(label) == std::string(1, digit))
                main.set_text(label, std::string{'0', digit});
        }
    }

    if (main.text(透明标签1) == "00") refresh_date_line(main, now);

    main.set_text(透明标签3, ":");
    services.colon_timer.start(colon_ms, [&main] { main.set_text(透明标签3, ""); });

    reminders::reminder_check(main, services, now);
}

}  // namespace quorvel::clock
