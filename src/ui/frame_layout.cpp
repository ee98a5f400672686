#include "ui/frame_layout.h"

#include "ui/main_design.h"
#include "ui/max_button.h"

namespace quorvel::ui {

using namespace main_window;

// Every length is designed at 96 DPI and taken at the form's scale.
void frame_layout(Form& main, platform::Desktop& desktop) {
    const Scale& s = main.scale();
    const int w = main.window_rect().width;
    // The date line fills the title band below the strip, whatever the rounding.
    const int strip = s.px(22), title = s.px(52), date = title - strip;
    main.move(标题栏1, {0, 0, s.px(5), title});
    main.move(标题栏5, {w - s.px(6), 0, s.px(6), title});
    const int l5 = main.place(标题栏5).left;
    main.move(标题栏4, {l5 - s.px(60), 0, s.px(60), strip});
    const int l4 = main.place(标题栏4).left;
    main.move(标题栏3, {l4 - s.px(5), 0, s.px(5), strip});
    const int l3 = main.place(标题栏3).left;
    const int w1 = main.place(标题栏1).width;
    main.move(标题栏2, {w1, 0, l3 - w1, strip});
    main.move(标题栏6, {main.place(标题栏1).width, strip,
                        main.place(标题栏5).left - main.place(标题栏1).width, date});

    const int band = s.px(24), edge = s.px(3);
    const int b = main.client_height() - band;  // top of the status band
    main.move(状态栏1, {0, b, edge, band});
    main.move(状态栏3, {w - edge, b, edge, band});
    main.move(状态栏2, {edge, b, w - 2 * edge, band});
    main.move(边框左, {0, title, edge, b - title});
    main.move(边框右, {w - edge, title, edge, b - title});

    // A maximised borderless window would cover the taskbar; keep it on the
    // work area of its own monitor. The resize re-enters this layout, which places the pieces.
    if (desktop.is_zoomed(main.native_handle())) {
        if (const auto area = desktop.work_area_of(main.window_rect())) main.move_window(*area);
    }

    const Rect& outer = main.window_rect();
    const int corner = s.px(5);
    desktop.set_round_region(main.native_handle(), outer.width + 1, outer.height + 1, corner,
                             corner);
    refresh_max_button(main, desktop);
}

void title_drag(Form& main, platform::Desktop& desktop) {
    if (desktop.is_zoomed(main.native_handle())) return;
    desktop.release_capture();
    desktop.send_message(main.native_handle(), message::nc_lbutton_down, message::ht_caption, 0);
}

void title_double_click(Form& main, platform::Desktop& desktop) {
    desktop.release_capture();
    desktop.send_message(main.native_handle(), message::nc_lbutton_dblclk, message::ht_caption, 0);
}

void close_main_window(Form& main, platform::Desktop& desktop) {
    desktop.send_message(main.native_handle(), message::sys_command, message::sc_close, 0);
}

void toggle_maximise(Form& main, platform::Desktop& desktop) {
    desktop.set_maximised(main.native_handle(), !desktop.is_zoomed(main.native_handle()));
}

void minimise_to_tray(Form& main, platform::Desktop& desktop) {
    std::string tip = main.caption();
    if (const std::string& status = main.text(透明标签4); !status.empty()) tip += "\n" + status;
    desktop.hide_to_tray(main.native_handle(), tip);
}

}  // namespace quorvel::ui
