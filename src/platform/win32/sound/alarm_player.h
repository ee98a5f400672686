// What the sound thread plays the alarm with: the chosen music through the
// wave player, or, when music was chosen but cannot be played, the built-in
// chime as many times instead.
#pragma once

#include "platform/alarm_sound.h"
#include "platform/services.h"
#include "platform/win32/sound/chime_player.h"
#include "platform/win32/sound/wave_player.h"

namespace quorvel::win32 {

class AlarmPlayer final : public platform::Sound {
  public:
    void play(const std::string& utf8_path, int times) override;
    void stop_all() override;

  private:
    platform::MusicOutcome music_outcome() const;

    WaveSound music_;
    ChimePlayer chime_;
};

}  // namespace quorvel::win32
