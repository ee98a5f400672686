// Alarm sound decoded by the system's MP3 codec (ACM) and streamed to the
// wave output a quarter second at a time. Each play follows the one before
// without a gap, since the next play is decoded into the same stream (and
// the silence encoders add around the music is cut where they say so); the
// file is read as it plays, so a long song costs no more memory than a short
// one. A file the codec cannot take (an MPEG layer it does not decode, or no
// MP3 codec at all) is handed to the MCI player instead.
#pragma once

#include <windows.h>

#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mp3/frame_header.h"
#include "mp3/gapless.h"
#include "platform/services.h"
#include "platform/win32/base/handles.h"
#include "platform/win32/sound/mci_player.h"

namespace quorvel::win32 {

class WaveSound final : public platform::Sound {
  public:
    enum class Outcome {
        none,        // no play yet, or play count below 1, or empty path
        unreadable,  // missing, a folder, locked, or a read error
        not_mp3,     // not MPEG audio
        handed_on,   // the codec would not take it: the MCI player has it
        no_output,   // the wave output would not open: no audio device
        no_sound,    // MPEG audio that decodes to nothing: cut short or damaged
        started,
    };

    WaveSound();  // not copyable: it owns its window, file and streams
    ~WaveSound() override;

    void play(const std::string& utf8_path, int times) override;
    void stop_all() override;
    Outcome last_outcome() const { return outcome_; }
    MciSound::Outcome handed_on_outcome() const { return fallback_.last_outcome(); }

  private:
    static constexpr std::size_t kBuffers = 4;
    static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM);
    bool open_stream(const mp3::FrameFormat& f);
    // Decodes into the buffer and queues it; false once nothing is left.
    bool refill(WAVEHDR& buffer);
    // Hands `filled` bytes of `pcm` to the wave output in `buffer`.
    bool queue(WAVEHDR& buffer, BYTE* pcm, std::size_t filled);
    // Appends the next bytes of the file to the input; false at its end.
    bool read_more();
    // Drops what the encoder and decoder added around the music from `n`
    // freshly decoded bytes; returns how many are left, moved to the front.
    std::size_t keep_music(BYTE* decoded, std::size_t n);
    void on_done(WAVEHDR* buffer);
    void close_stream();

    UniqueWindow window_;
    UniqueKernelHandle file_;
    std::uint64_t audio_start_ = 0;
    HACMSTREAM acm_ = nullptr;
    HWAVEOUT out_ = nullptr;
    bool restart_ = true;             // the next conversion starts a play
    mp3::ByteWindow window_bytes_;    // the music within each play
    std::uint64_t played_bytes_ = 0;  // decoded so far in this play
    int plays_left_ = 0;
    int queued_ = 0;
    std::vector<BYTE> input_;  // read but not yet converted
    std::array<std::vector<BYTE>, kBuffers> pcm_;
    std::array<WAVEHDR, kBuffers> headers_{};
    Outcome outcome_ = Outcome::none;
    MciSound fallback_;
};

}  // namespace quorvel::win32
