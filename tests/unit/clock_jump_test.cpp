// The wall clock can jump: set by hand, synchronised, or moved by a
// daylight-saving change. The face follows at the next tick, and a reminder
// fires only at a tick whose fields equal its own, never for a minute the
// clock jumped over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clock/clock_tick.h"
#include "doubles.h"
#include "ui/main_design.h"

namespace quorvel::clock {
namespace {

using namespace test;
using namespace ui::main_window;
using platform::LocalTime;

struct Jump {
    const char* what;
    std::vector<LocalTime> readings;  // one per tick
    const char *alarm_hour, *alarm_minute;
    int fires_at;  // index of the firing tick, -1 for none
};

std::string two_digits(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

TEST(ClockJump, FaceFollowsAndRemindersFireOnlyOnTheirOwnFields) {
    const Jump jumps[] = {
        {"back an hour, over the alarm minute",
         {{2011, 4, 15, 10, 29, 59}, {2011, 4, 15, 9, 30, 0}, {2011, 4, 15, 9, 30, 1}},
         "10",
         "30",
         -1},
        {"back an hour, onto the alarm minute",
         {{2011, 4, 15, 10, 29, 59}, {2011, 4, 15, 9, 30, 0}},
         "9",
         "30",
         1},
        {"forward a day, then on to the minute",
         {{2011, 4, 15, 7, 4, 50}, {2011, 4, 16, 7, 4, 51}, {2011, 4, 16, 7, 5, 0}},
         "7",
         "5",
         2},
        {"forward past the minute",
         {{2011, 4, 15, 7, 4, 59}, {2011, 4, 15, 7, 6, 0}},
         "7",
         "5",
         -1},
        {"across midnight", {{2011, 4, 15, 23, 59, 59}, {2011, 4, 16, 0, 0, 0}}, "0", "0", 1},
        {"daylight saving starts: 2:00 never comes",
         {{2011, 3, 27, 1, 59, 59}, {2011, 3, 27, 3, 0, 0}, {2011, 3, 27, 3, 0, 1}},
         "2",
         "0",
         -1},
        {"daylight saving ends: the hour comes twice, the alarm fires once",
         {{2011, 10, 30, 2, 30, 0},
          {2011, 10, 30, 2, 59, 59},
          {2011, 10, 30, 2, 0, 0},
          {2011, 10, 30, 2, 30, 0}},
         "2",
         "30",
         0},
    };
    for (const Jump& j : jumps) {
        SCOPED_TRACE(j.what);
        Rig rig;
        ui::Form main{design()};
        main.set_text(透明标签5, j.alarm_hour);
        main.set_text(透明标签6, j.alarm_minute);
        main.set_text(编辑框1, "C:\\提醒.mp3");
        int fired_at = -1;
        for (std::size_t i = 0; i < j.readings.size(); ++i) {
            const LocalTime& t = j.readings[i];
            rig.clock.time = t;
            rig.log.clear();
            clock_tick(main, rig.services);
            EXPECT_EQ(main.text(透明标签1), two_digits(t.hour)) << "tick " << i;
            EXPECT_EQ(main.text(透明标签2), two_digits(t.minute)) << "tick " << i;
            EXPECT_EQ(main.text(透明标签9), std::to_string(t.hour)) << "tick " << i;
            EXPECT_EQ(main.text(透明标签10), std::to_string(t.minute)) << "tick " << i;
            if (count(rig.log, "play 3 [C:\\提醒.mp3]") == 1) {
                EXPECT_EQ(fired_at, -1) << "fired twice, again at tick " << i;
                fired_at = static_cast<int>(i);
            }
        }
        EXPECT_EQ(fired_at, j.fires_at);
    }
}

TEST(ClockJump, ShutdownIsAskedOnlyOnTicksOfItsMinute) {
    Rig rig;
    ui::Form main{design()};
    main.set_text(编辑框2, "关机");
    main.set_text(透明标签7, "22");
    main.set_text(透明标签8, "0");
    const LocalTime readings[] = {
        {2011, 4, 15, 21, 59, 59},                            // jumps over 22:00 ...
        {2011, 4, 15, 22, 1, 0},   {2011, 4, 15, 21, 0, 0},   // ... and back an hour
        {2011, 4, 15, 22, 0, 0},   {2011, 4, 15, 22, 0, 30},  // its minute: asked each tick
        {2011, 4, 16, 22, 0, 0},                              // the next day's 22:00 too
    };
    std::vector<int> asked;
    for (int i = 0; i < 6; ++i) {
        rig.clock.time = readings[i];
        rig.log.clear();
        clock_tick(main, rig.services);
        if (count(rig.log, "shutdown") > 0) asked.push_back(i);
    }
    EXPECT_EQ(asked, (std::vector<int>{3, 4, 5}));
}

}  // namespace
}  // namespace quorvel::clock
