#include "app/app.h"

#include "app/loading.h"
#include "app/wiring.h"
#include "clock/date_line.h"
#include "ui/main_design.h"
#include "ui/max_button.h"
#include "ui/options_design.h"

namespace quorvel::app {

App::App(platform::Services& s)
    : services(s), lifecycle(s.windows), main(ui::main_window::design()) {
    wire_main_window(*this);
}

int run(App& app) {
    if (!load_window(app.main, app.services.windows, app.lifecycle)) {
        app.services.windows.report_fatal("Quorvel 无法创建主窗口，程序将退出。");
        return -1;
    }
    app.lifecycle.start_loop();
    int exit_code = 0;
    if (app.lifecycle.any_alive()) exit_code = app.services.windows.run_loop();
    app.services.sound.stop_all();
    return exit_code;
}

void main_window_created(ui::Form& main, platform::Services& services) {
    services.desktop.apply_control_skin(skin_scheme);
    main.set_caption(main_caption);
    main.set_text(ui::main_window::标题栏2, "    " + main.caption());
    ui::refresh_max_button(main, services.desktop);
    clock::refresh_date_line(main, services.clock.now());
    services.shell.open(services.help_address);
}

void options_window_created(platform::Services& services) {
    services.desktop.apply_control_skin(skin_scheme);
}

void open_options_window(App& app) {
    if (app.options) return;
    app.options = std::make_unique<ui::Form>(ui::options_window::design());
    wire_options_window(app, *app.options);
    if (load_window(*app.options, app.services.windows, app.lifecycle))
        app.services.windows.run_modal(*app.options);
    app.options.reset();
}

}  // namespace quorvel::app
