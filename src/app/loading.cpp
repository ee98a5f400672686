#include "app/loading.h"

namespace quorvel::app {

bool load_window(ui::Form& form, platform::Windows& windows, Lifecycle& lifecycle) {
    // Counted from the start of its creation: a window that goes while being
    // created (its creation then fails) is counted out by its destroyed event.
    lifecycle.window_loaded();
    if (!windows.create(form)) {
        if (form.alive()) lifecycle.window_not_created();
        return false;
    }
    windows.show_controls(form);
    for (const ui::Event e :
         {ui::Event::created, ui::Event::position_changed, ui::Event::size_changed}) {
        if (form.alive()) form.raise(e);
    }
    if (form.alive() && form.design().visible) windows.show(form);
    return true;
}

}  // namespace quorvel::app
