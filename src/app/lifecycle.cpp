#include "app/lifecycle.h"

namespace quorvel::app {

void Lifecycle::window_destroyed() {
    if (alive_ > 0) --alive_;
    if (alive_ == 0 && loop_started_) windows_.post_quit(0);
}

}  // namespace quorvel::app
