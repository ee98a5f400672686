#pragma once

#include "platform/services.h"

namespace quorvel::app {

// Ending rule: when the last loaded window goes after the loop has started,
// the quit request with exit code 0 is posted. A window destroyed before the
// loop must not end a loop that has not begun.
class Lifecycle {
  public:
    explicit Lifecycle(platform::Windows& windows) : windows_(windows) {}

    void window_loaded() { ++alive_; }
    void window_destroyed();
    // A window counted as loaded whose creation failed: it never was.
    void window_not_created() {
        if (alive_ > 0) --alive_;
    }
    void start_loop() { loop_started_ = true; }
    bool any_alive() const { return alive_ > 0; }

  private:
    platform::Windows& windows_;
    int alive_ = 0;
    bool loop_started_ = false;
};

}  // namespace quorvel::app
