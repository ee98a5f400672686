#include "platform/win32/sound/alarm_player.h"

namespace quorvel::win32 {

using platform::MusicOutcome;

void AlarmPlayer::play(const std::string& utf8_path, int times) {
    chime_.stop();
    music_.play(utf8_path, times);
    if (platform::alarm_sound(utf8_path, times, music_outcome()) == platform::AlarmSound::chime)
        chime_.play(times);
}

void AlarmPlayer::stop_all() {
    music_.stop_all();
    chime_.stop();
}

MusicOutcome AlarmPlayer::music_outcome() const {
    using Wave = WaveSound::Outcome;
    using Mci = MciSound::Outcome;
    switch (music_.last_outcome()) {
        case Wave::started:
            return MusicOutcome::started;
        case Wave::unreadable:
            return MusicOutcome::unreadable;
        case Wave::not_mp3:
            return MusicOutcome::not_mp3;
        case Wave::no_output:
            return MusicOutcome::no_output;
        case Wave::none:
        case Wave::no_sound:
            return MusicOutcome::no_sound;
        case Wave::handed_on:
            break;
    }
    switch (music_.handed_on_outcome()) {
        case Mci::started:
            return MusicOutcome::started;
        case Mci::unreadable:
            return MusicOutcome::unreadable;
        case Mci::not_mpeg_audio:
            return MusicOutcome::not_mp3;
        default:
            return MusicOutcome::refused;
    }
}

}  // namespace quorvel::win32
