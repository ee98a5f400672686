#include <gtest/gtest.h>

#include "clock/date_line.h"
#include "ui/main_design.h"

namespace quorvel::clock {
namespace {

TEST(DateLine, ChineseDateWithoutLeadingZeros) {
    struct Case {
        platform::LocalTime t;
        const char* caption;
    };
    const Case cases[] = {
        {{2011, 4, 5, 13, 7, 9}, " 现在是：2011年4月5日"},
        {{2011, 12, 31, 23, 59, 59}, " 现在是：2011年12月31日"},
        {{2026, 1, 1, 0, 0, 0}, " 现在是：2026年1月1日"},
    };
    for (const Case& c : cases) {
        ui::Form main{ui::main_window::design()};
        refresh_date_line(main, c.t);
        EXPECT_EQ(main.text(ui::main_window::标题栏6), c.caption);
    }
}

TEST(DateLine, PrefixIsSpaceThenFullWidthColon) {
    ui::Form main{ui::main_window::design()};
    refresh_date_line(main, {2011, 4, 15, 0, 0, 0});
    const std::string& s = main.text(ui::main_window::标题栏6);
    EXPECT_EQ(s.rfind(" 现在是\xEF\xBC\x9A", 0), 0u);  // U+FF1A
    EXPECT_EQ(s.find(':'), std::string::npos);
}

TEST(NumberText, PlainDecimal) {
    EXPECT_EQ(number_text(0), "0");
    EXPECT_EQ(number_text(7), "7");
    EXPECT_EQ(number_text(-1), "-1");
    EXPECT_EQ(number_text(23), "23");
}

}  // namespace
}  // namespace quorvel::clock
