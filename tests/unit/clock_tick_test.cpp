#include <gtest/gtest.h>

#include "clock/clock_tick.h"
#include "doubles.h"
#include "ui/main_design.h"

namespace quorvel::clock {
namespace {

using namespace test;
using namespace ui::main_window;

struct Tick : ::testing::Test {
    Rig rig;
    ui::Form main{design()};
    RecordingView view{rig.log, main};
    Tick() { main.attach(&view); }
    void tick_at(int hour, int minute, int second = 0) {
        rig.clock.set(hour, minute, second);
        clock_tick(main, rig.services);
    }
};

TEST_F(Tick, WritesFieldsAndTwoDigitFace) {
    struct Case {
        int hour, minute;
        const char *h9, *m10, *h1, *m2;
        bool date_refreshed;
    };
    const Case cases[] = {
        {0, 5, "0", "5", "00", "05", true},      {9, 30, "9", "30", "09", "30", false},
        {12, 0, "12", "0", "12", "00", false},   {23, 59, "23", "59", "23", "59", false},
        {10, 10, "10", "10", "10", "10", false}, {0, 0, "0", "0", "00", "00", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hour) + ":" + std::to_string(c.minute));
        main.set_text(标题栏6, "");
        rig.log.clear();
        tick_at(c.hour, c.minute);
        EXPECT_EQ(main.text(透明标签9), c.h9);
        EXPECT_EQ(main.text(透明标签10), c.m10);
        EXPECT_EQ(main.text(透明标签1), c.h1);
        EXPECT_EQ(main.text(透明标签2), c.m2);
        EXPECT_EQ(!main.text(标题栏6).empty(), c.date_refreshed);
    }
}

TEST_F(Tick, BelowTenIsPaintedTwiceInTheFillOrder) {
    tick_at(7, 5);
    const Log expected = {"text 透明标签9=7", "text 透明标签10=5", "text 透明标签1=7",
                          "text 透明标签2=5", "text 透明标签2=05", "text 透明标签1=07",
                          "text 透明标签3=:"};
    EXPECT_EQ(Log(rig.log.begin(), rig.log.begin() + 7), expected);
}

TEST_F(Tick, OneReadingServesTheWholeTick) {
    // A single snapshot: 10:59:59 can never pair with the minute of 11:00.
    tick_at(10, 59, 59);
    EXPECT_EQ(rig.clock.readings, 1);
    EXPECT_EQ(main.text(透明标签9), "10");
    EXPECT_EQ(main.text(透明标签10), "59");
}

TEST_F(Tick, ColonBlinksWithoutBlockingAndNeverStaysOn) {
    tick_at(9, 30);
    EXPECT_EQ(main.text(透明标签3), ":");
    EXPECT_EQ(rig.colon.period, 500);
    rig.colon.fire();
    EXPECT_EQ(main.text(透明标签3), "");

    // A tick while the colon is up restarts the cycle: one pending clear.
    tick_at(9, 30, 1);
    tick_at(9, 30, 2);
    EXPECT_EQ(main.text(透明标签3), ":");
    rig.colon.fire();
    EXPECT_EQ(main.text(透明标签3), "");
    EXPECT_FALSE(rig.colon.pending);
}

TEST_F(Tick, DateFollowsMidnightOnlyDuringHourZero) {
    rig.clock.time = {2011, 4, 15, 23, 59, 59};
    clock_tick(main, rig.services);
    main.set_text(标题栏6, " 现在是：2011年4月15日");
    rig.clock.time = {2011, 4, 16, 0, 0, 0};
    clock_tick(main, rig.services);
    EXPECT_EQ(main.text(标题栏6), " 现在是：2011年4月16日");
    // A date changed at noon waits for the next hour 0.
    rig.clock.time = {2011, 4, 20, 12, 0, 0};
    clock_tick(main, rig.services);
    EXPECT_EQ(main.text(标题栏6), " 现在是：2011年4月16日");
}

}  // namespace
}  // namespace quorvel::clock
