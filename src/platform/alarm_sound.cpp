#include "platform/alarm_sound.h"

namespace quorvel::platform {

AlarmSound alarm_sound(const std::string& path, int times, MusicOutcome outcome) {
    if (path.empty() || times < 1) return AlarmSound::silence;
    switch (outcome) {
        case MusicOutcome::started:
            return AlarmSound::music;
        case MusicOutcome::no_output:
            return AlarmSound::silence;
        case MusicOutcome::unreadable:
        case MusicOutcome::not_mp3:
        case MusicOutcome::no_sound:
        case MusicOutcome::refused:
            break;
    }
    return AlarmSound::chime;
}

}  // namespace quorvel::platform
