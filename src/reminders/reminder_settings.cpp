#include "reminders/reminder_settings.h"

#include "clock/date_line.h"
#include "reminders/reminder_check.h"
#include "ui/main_design.h"
#include "ui/options_design.h"

namespace quorvel::reminders {

namespace main = ui::main_window;
namespace opt = ui::options_window;

std::string selection_text(const ui::Form& options, ui::ControlId list) {
    return clock::number_text(options.selection(list));
}

void choose_music(ui::Form& options, ui::Form& main, platform::Windows& windows) {
    // The dialog's file-name value lives in the text of its component. A
    // cancelled dialog keeps the music chosen before.
    const auto chosen = windows.open_file(opt::music_dialog, options.text(opt::通用对话框1));
    if (!chosen) return;
    options.report_text(opt::通用对话框1, *chosen);
    options.set_text(opt::编辑框1, *chosen);
    main.set_text(main::编辑框1, options.text(opt::编辑框1));
}

void set_alarm(ui::Form& options, ui::Form& main, platform::Windows& windows) {
    const std::string hour = selection_text(options, opt::组合框1);
    const std::string minute = selection_text(options, opt::组合框2);
    main.set_text(main::透明标签5, hour);
    main.set_text(main::透明标签6, minute);
    main.set_text(main::透明标签4, "当前闹钟时间为:" + hour + "时" + minute + "分");
    windows.close_later(options);
}

void set_shutdown(ui::Form& options, ui::Form& main, platform::Windows& windows) {
    main.set_text(main::编辑框2, shutdown_marker);
    const std::string hour = selection_text(options, opt::组合框1);
    const std::string minute = selection_text(options, opt::组合框2);
    main.set_text(main::透明标签7, hour);
    main.set_text(main::透明标签8, minute);
    main.set_text(main::透明标签4, "当前关机时间为:" + hour + "时" + minute + "分");
    windows.close_later(options);
}

}  // namespace quorvel::reminders
