#include "app/loading.h"

namespace quorvel::app {

bool load_window(ui::Form& form, platform::Windows& windows, Lifecycle& lifecycle) {
    if (!windows.create(form)) return false;
    lifecycle.window_loaded();
    windows.show_controls(form);
    for (const ui::Event e :
         {ui::Event::created, ui::Event::position_changed, ui::Event::size_changed}) {
        if (form.alive()) form.raise(e);
    }
    if (form.alive() && form.design().visible) windows.show(form);
    return true;
}

}  // namespace quorvel::app
