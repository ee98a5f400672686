#include "clock/date_line.h"

#include "ui/main_design.h"

namespace quorvel::clock {

std::string number_text(int n) {
    return std::to_string(n);
}

std::string date_text(const platform::LocalTime& now) {
    return number_text(now.year) + "年" + number_text(now.month) + "月" + number_text(now.day) +
           "日";
}

void refresh_date_line(ui::Form& main, const platform::LocalTime& now) {
    main.set_text(ui::main_window::标题栏6, " 现在是：" + date_text(now));
}

}  // namespace quorvel::clock
