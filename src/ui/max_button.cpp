#include "ui/max_button.h"

#include "ui/main_design.h"

namespace quorvel::ui {

void refresh_max_button(Form& main, platform::Desktop& desktop) {
    const bool zoomed = desktop.is_zoomed(main.native_handle());
    const ControlId button = main_window::标题栏按钮_最大化;
    main.set_picture(button, ButtonState::normal,
                     zoomed ? Picture::restore_normal : Picture::maximise_normal);
    main.set_picture(button, ButtonState::hover,
                     zoomed ? Picture::restore_hover : Picture::maximise_hover);
    main.set_picture(button, ButtonState::pressed,
                     zoomed ? Picture::restore_pressed : Picture::maximise_pressed);
}

}  // namespace quorvel::ui
