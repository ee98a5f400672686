#pragma once

#include <string>

#include "platform/services.h"
#include "ui/form.h"

namespace quorvel::clock {

// "2011年4月5日": no leading zeros, no time of day.
std::string date_text(const platform::LocalTime& now);

// Writes " 现在是：" and today's date into 标题栏6.
void refresh_date_line(ui::Form& main, const platform::LocalTime& now);

// Plain decimal without leading zeros: 0 -> "0", 7 -> "7", -1 -> "-1".
std::string number_text(int n);

}  // namespace quorvel::clock
