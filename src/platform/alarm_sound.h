// Which sound the alarm makes, from what became of playing the chosen music.
// Portable so the rule is tested without a sound device.
#pragma once

#include <string>

namespace quorvel::platform {

enum class MusicOutcome {
    started,
    unreadable,  // missing, deleted, a folder, locked, a read error
    not_mp3,     // empty, text, a wave file or anything else named .mp3
    no_sound,    // MPEG audio that decodes to nothing: cut short, damaged
    refused,     // no decoder would take it
    no_output,   // the file is fine, but there is no audio device
};

enum class AlarmSound { music, chime, silence };

// No music chosen stays silent; chosen music that cannot be played sounds
// the built-in chime instead; without an audio device nothing can sound.
AlarmSound alarm_sound(const std::string& path, int times, MusicOutcome outcome);

}  // namespace quorvel::platform
