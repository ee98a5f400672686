#pragma once

#include "app/app.h"

namespace quorvel::app {

// Binds each event of each design to its handler (wiring.cpp reads like the
// designs' events tables).
void wire_main_window(App& app);
void wire_options_window(App& app, ui::Form& options);

}  // namespace quorvel::app
