// The built-in chime (a WAV resource of the program) played a number of
// times in a row through the system's sound player, without waiting.
#pragma once

#include <string>

namespace quorvel::win32 {

class ChimePlayer {
  public:
    ChimePlayer() = default;
    ChimePlayer(const ChimePlayer&) = delete;
    ChimePlayer& operator=(const ChimePlayer&) = delete;
    ~ChimePlayer() { stop(); }

    // Returns at once; false when the resource or the sound player failed.
    bool play(int times);
    void stop();

  private:
    std::string wave_;  // the whole sound, read by the player while it plays
};

}  // namespace quorvel::win32
