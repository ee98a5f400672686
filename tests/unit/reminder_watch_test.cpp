#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "clock/clock_tick.h"
#include "doubles.h"
#include "platform/alarm_sound.h"
#include "reminders/next_due.h"
#include "reminders/reminder_watch.h"
#include "ui/main_design.h"

namespace quorvel::reminders {
namespace {

using namespace test;
using namespace ui::main_window;
using platform::LocalTime;

// Central European rules: clocks go 2:00 -> 3:00 on 2011-03-27 and
// 3:00 -> 2:00 on 2011-10-30.
struct BerlinTime : ::testing::Test {
    std::string old;
    bool had = false;
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) old = tz, had = true;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        if (had) {
            setenv("TZ", old.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
};

TEST_F(BerlinTime, NextDueTable) {
    struct Case {
        LocalTime now;
        const char* hour;
        const char* minute;
        const char* due;  // nullptr: none
    };
    const Case cases[] = {
        {{2011, 4, 15, 7, 4, 40}, "7", "5", "2011-04-15 07:05"},    // later today
        {{2011, 4, 15, 7, 5, 30}, "7", "5", "2011-04-15 07:05"},    // its minute is still on
        {{2011, 4, 15, 7, 6, 0}, "7", "5", "2011-04-16 07:05"},     // past: tomorrow
        {{2011, 4, 30, 23, 59, 59}, "0", "0", "2011-05-01 00:00"},  // across midnight
        {{2011, 12, 31, 22, 0, 0}, "6", "30", "2012-01-01 06:30"},
        {{2011, 3, 27, 1, 0, 0}, "2", "30", "2011-03-28 02:30"},  // skipped that night
        {{2011, 3, 26, 23, 0, 0}, "2", "30", "2011-03-28 02:30"},
        {{2011, 3, 26, 23, 0, 0}, "3", "0", "2011-03-27 03:00"},
        {{2011, 10, 30, 1, 0, 0}, "2", "30", "2011-10-30 02:30"},  // the hour that repeats
        {{2011, 4, 15, 7, 4, 40}, "24", "0", nullptr},
        {{2011, 4, 15, 7, 4, 40}, "-1", "5", nullptr},
        {{2011, 4, 15, 7, 4, 40}, "7", "60", nullptr},
        {{2011, 4, 15, 7, 4, 40}, "7", "61", nullptr},
        {{2011, 4, 15, 7, 4, 40}, "07", "05", nullptr},
        {{2011, 4, 15, 7, 4, 40}, "", "", nullptr},
    };
    for (const Case& c : cases) {
        const auto due = next_due(c.now, c.hour, c.minute);
        SCOPED_TRACE(std::string(c.hour) + ":" + c.minute);
        if (!c.due) {
            EXPECT_FALSE(due.has_value());
        } else {
            ASSERT_TRUE(due.has_value());
            EXPECT_EQ(RecordingWake::text(*due), c.due);
        }
    }
    EXPECT_EQ(minutes_between({2011, 3, 27, 1, 30, 0}, {2011, 3, 27, 3, 30, 0}), 60);
}

struct Watch : BerlinTime {
    Rig rig;
    ui::Form main{design()};
    ReminderWatch watch;
    Log& wake = rig.wake.log;

    void tick_at(int hour, int minute, int second = 0) {
        rig.clock.set(hour, minute, second);
        clock::clock_tick(main, rig.services);
        watch.after_tick(main, rig.services);
    }
    void set_alarm(const char* h, const char* m) {
        main.set_text(透明标签5, h);
        main.set_text(透明标签6, m);
        watch.rearm(main, rig.services);
    }
    void set_shutdown(const char* h, const char* m) {
        main.set_text(编辑框2, "关机");
        main.set_text(透明标签7, h);
        main.set_text(透明标签8, m);
        watch.rearm(main, rig.services);
    }
    long warnings() const {
        long n = 0;
        for (const auto& e : rig.log) n += e.rfind("warn ", 0) == 0;
        return n;
    }
};

TEST_F(Watch, ArmsOnEachSetFollowsTheFieldsAndCancelsAfterTheAlarm) {
    set_alarm("7", "5");
    tick_at(7, 4, 41);  // nothing new: no second request
    set_alarm("7", "6");
    set_alarm("7", "6");  // asked again: the time zone may have moved it
    EXPECT_EQ(wake, (Log{"2011-04-15 07:05", "2011-04-15 07:06", "2011-04-15 07:06"}));

    set_shutdown("7", "5");  // earlier than the alarm
    EXPECT_EQ(wake.back(), "2011-04-15 07:05");
    tick_at(7, 5);  // the shutdown minute: still its time, no new request
    EXPECT_EQ(wake.size(), 5u);
    EXPECT_EQ(wake.back(), "release");  // after the power-off request
    tick_at(7, 6);                      // the alarm fires; the shutdown's next is tomorrow
    EXPECT_EQ(wake.back(), "2011-04-16 07:05");
    EXPECT_EQ(main.text(透明标签6), "61");

    main.set_text(编辑框2, "0");
    tick_at(7, 6, 1);
    EXPECT_EQ(wake.back(), "cancel");
    tick_at(7, 6, 2);
    watch.rearm(main, rig.services);  // a clock change with nothing armed
    EXPECT_EQ(count(wake, "cancel"), 1);
}

TEST_F(Watch, AlarmFiringCancelsAndNeverArmedNeverAsks) {
    set_alarm("24", "0");
    set_alarm("-1", "-1");
    tick_at(7, 4, 41);
    EXPECT_TRUE(wake.empty());
    set_alarm("7", "5");
    tick_at(7, 5);
    EXPECT_EQ(wake, (Log{"2011-04-15 07:05", "release", "cancel"}));
}

TEST_F(Watch, ClockChangeAsksAgain) {
    set_shutdown("23", "0");
    rig.clock.time = {2011, 4, 15, 23, 30, 0};  // set forward past it
    watch.rearm(main, rig.services);
    EXPECT_EQ(wake, (Log{"2011-04-15 23:00", "2011-04-16 23:00"}));
}

TEST_F(Watch, ResumeHoldsAwakeOnlyWhenAReminderIsAboutDue) {
    set_alarm("9", "0");
    watch.resumed(main, rig.services);  // 7:04: woken by something else
    EXPECT_EQ(count(wake, "hold"), 0);
    rig.clock.set(8, 59, 5);
    watch.resumed(main, rig.services);
    EXPECT_EQ(wake.back(), "hold");
    tick_at(9, 0);  // fires; let go once the box is dismissed
    EXPECT_EQ(wake.back(), "cancel");
    EXPECT_EQ(count(wake, "release"), 1);

    set_shutdown("9", "30");
    rig.clock.set(9, 29, 50);
    watch.resumed(main, rig.services);
    EXPECT_EQ(wake.back(), "hold");
    tick_at(9, 30);
    EXPECT_EQ(wake.back(), "release");
    EXPECT_EQ(rig.power.requests, 1);
}

TEST_F(Watch, WarnsOnceInTheMinuteBeforeTheShutdown) {
    set_shutdown("7", "5");
    for (int s : {58, 59}) tick_at(7, 3, s);
    EXPECT_EQ(warnings(), 0);
    for (int s : {0, 1, 30, 59}) tick_at(7, 4, s);
    set_shutdown("7", "5");  // set again to the same time: no second warning
    tick_at(7, 4, 59);
    EXPECT_TRUE(contains(rig.log, "warn 将在 7:05 强制关机，请保存您的工作。"));
    EXPECT_EQ(warnings(), 1);
    tick_at(7, 5);
    EXPECT_EQ(index_of(rig.log, "warn") < index_of(rig.log, "shutdown"), true);
    EXPECT_EQ(warnings(), 1);
}

TEST_F(Watch, WarningTextsAndRemindersNeverAnnounced) {
    EXPECT_EQ(shutdown_warning("0", "0"), "将在 0:00 强制关机，请保存您的工作。");
    EXPECT_EQ(shutdown_warning("23", "45"), "将在 23:45 强制关机，请保存您的工作。");

    set_shutdown("0", "0");
    tick_at(23, 59, 0);  // the minute before midnight
    EXPECT_EQ(rig.log.back(), "warn 将在 0:00 强制关机，请保存您的工作。");

    const char* never[][3] = {{"0", "7", "5"},
                              {"关机", "07", "05"},
                              {"关机", "7", "60"},
                              {"关机", "24", "0"},
                              {"关机 ", "7", "5"}};
    for (const auto& f : never) {
        rig.log.clear();
        main.set_text(编辑框2, f[0]);
        main.set_text(透明标签7, f[1]);
        main.set_text(透明标签8, f[2]);
        for (int m : {3, 4, 5}) tick_at(7, m, 0);
        EXPECT_EQ(warnings(), 0) << f[0] << " " << f[1] << ":" << f[2];
    }
    // An alarm is never announced.
    rig.log.clear();
    main.set_text(编辑框2, "0");
    set_alarm("7", "5");
    tick_at(7, 4, 0);
    EXPECT_EQ(warnings(), 0);
}

TEST(AlarmSoundChoice, ChimeOnlyForChosenMusicThatCannotPlay) {
    using platform::AlarmSound;
    using platform::MusicOutcome;
    const std::string path = "C:\\音乐\\wake up.mp3";
    EXPECT_EQ(alarm_sound(path, 3, MusicOutcome::started), AlarmSound::music);
    for (auto o : {MusicOutcome::unreadable, MusicOutcome::not_mp3, MusicOutcome::no_sound,
                   MusicOutcome::refused})
        EXPECT_EQ(alarm_sound(path, 3, o), AlarmSound::chime);
    EXPECT_EQ(alarm_sound(path, 3, MusicOutcome::no_output), AlarmSound::silence);
    EXPECT_EQ(alarm_sound("", 3, MusicOutcome::unreadable), AlarmSound::silence);
    EXPECT_EQ(alarm_sound(path, 0, MusicOutcome::unreadable), AlarmSound::silence);
}

}  // namespace
}  // namespace quorvel::reminders
