#include <gtest/gtest.h>

#include "clock/clock_tick.h"
#include "doubles.h"
#include "ui/main_design.h"

namespace quorvel::reminders {
namespace {

using namespace test;
using namespace ui::main_window;

struct Firing : ::testing::Test {
    Rig rig;
    ui::Form main{design()};
    void tick_at(int hour, int minute, int second = 0) {
        rig.clock.set(hour, minute, second);
        clock::clock_tick(main, rig.services);
    }
    void arm_alarm(const char* h, const char* m, const char* path = "C:\\音乐\\wake up.mp3") {
        main.set_text(透明标签5, h);
        main.set_text(透明标签6, m);
        main.set_text(编辑框1, path);
    }
    void arm_shutdown(const char* h, const char* m) {
        main.set_text(编辑框2, "关机");
        main.set_text(透明标签7, h);
        main.set_text(透明标签8, m);
    }
};

TEST_F(Firing, AlarmPlaysThriceDisarmsShowsTheBoxThenClosesLater) {
    arm_alarm("7", "5");
    tick_at(7, 4, 59);
    EXPECT_TRUE(rig.log.empty());
    tick_at(7, 5);
    const Log expected = {"play 3 [C:\\音乐\\wake up.mp3]", "box 时间到!!! | 现在时间:7:5",
                          "box dismissed", "close later main"};
    EXPECT_EQ(rig.log, expected);
    EXPECT_EQ(main.text(透明标签6), "61");
    EXPECT_TRUE(main.alive());  // deferred: the tick finishes on the live window
    rig.windows.run_deferred();
    EXPECT_FALSE(main.alive());
}

TEST_F(Firing, DisarmedBeforeTheBoxSoNestedTicksCannotFireAgain) {
    arm_alarm("7", "5");
    rig.box.while_open = [&] {
        EXPECT_EQ(main.text(透明标签6), "61");
        tick_at(7, 5, 1);
        tick_at(7, 5, 2);
    };
    tick_at(7, 5);
    EXPECT_EQ(count(rig.log, "box 时间到!!! | 现在时间:7:5"), 1);
    EXPECT_EQ(index_of(rig.log, "play"), 0);
    EXPECT_EQ(count(rig.log, "close later main"), 1);
}

TEST_F(Firing, FieldsThatNeverMatch) {
    struct Case {
        const char *hour, *minute;
    };
    // Leading zeros, the fired mark, list items the clock never shows, none.
    const Case cases[] = {{"07", "05"}, {"7", "05"},  {"7", "61"}, {"7", "60"},
                          {"24", "5"},  {"-1", "-1"}, {"7", ""},   {"", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.hour) + "/" + c.minute);
        arm_alarm(c.hour, c.minute);
        for (int m = 0; m < 60; ++m) tick_at(7, m);
        tick_at(0, 0);
        EXPECT_EQ(index_of(rig.log, "box"), -1);
    }
}

TEST_F(Firing, MidnightTitleAndEmptyPath) {
    arm_alarm("0", "0", "");
    tick_at(0, 0);
    EXPECT_EQ(rig.log.front(), "play 3 []");
    EXPECT_TRUE(contains(rig.log, "box 时间到!!! | 现在时间:0:0"));
    EXPECT_TRUE(contains(rig.log, "close later main"));
}

TEST_F(Firing, ShutdownNeedsExactlyTheMarker) {
    for (const char* marker : {"0", "关机 ", " 关机", "", "关"}) {
        arm_shutdown("7", "5");
        main.set_text(编辑框2, marker);
        tick_at(7, 5);
    }
    EXPECT_EQ(rig.power.requests, 0);
    arm_shutdown("7", "5");
    tick_at(7, 5);
    EXPECT_EQ(rig.power.requests, 1);
}

TEST_F(Firing, ShutdownOnEveryTickOfItsMinuteOnly) {
    arm_shutdown("23", "59");
    tick_at(23, 58, 59);
    for (int s = 0; s < 60; ++s) tick_at(23, 59, s);
    tick_at(0, 0);
    EXPECT_EQ(rig.power.requests, 60);
    EXPECT_EQ(main.text(编辑框2), "关机");
}

TEST_F(Firing, AlarmAndShutdownInTheSameMinute) {
    arm_alarm("7", "5");
    arm_shutdown("7", "5");
    rig.box.while_open = [&] {
        tick_at(7, 5, 1);
        tick_at(7, 5, 2);
    };
    tick_at(7, 5);
    // Alarm first; each nested tick asks for the shutdown; the outer tick once more.
    const Log expected = {"play 3 [C:\\音乐\\wake up.mp3]",
                          "box 时间到!!! | 现在时间:7:5",
                          "shutdown",
                          "shutdown",
                          "box dismissed",
                          "close later main",
                          "shutdown"};
    EXPECT_EQ(rig.log, expected);
}

TEST_F(Firing, BoxLeftOpenPastTheMinuteDoesNotPowerOffLate) {
    arm_alarm("7", "5");
    arm_shutdown("7", "5");
    rig.box.while_open = [&] { tick_at(7, 6); };
    tick_at(7, 5);
    // The nested tick at 7:06 moved the current-time fields on.
    EXPECT_EQ(rig.power.requests, 0);
}

}  // namespace
}  // namespace quorvel::reminders
