#pragma once

#include "app/lifecycle.h"
#include "platform/services.h"
#include "ui/form.h"

namespace quorvel::app {

// Window loading order: everything created hidden with no handler running,
// designed-visible controls shown, then created, position changed and size
// changed (each only while the window exists), and only then the window.
// False when the window cannot be created.
bool load_window(ui::Form& form, platform::Windows& windows, Lifecycle& lifecycle);

}  // namespace quorvel::app
