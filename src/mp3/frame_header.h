// Reading MP3 files' structure, with no system calls: the MPEG audio frame
// header, the ID3v2 tag in front of the music, the encoder's info frame and
// the arithmetic of the silence it declares, and the probe that tells music
// from other files. All of it takes untrusted bytes and stays within them.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace quorvel::mp3 {

struct FrameFormat {
    int version;  // 3 = MPEG 1, 2 = MPEG 2, 0 = MPEG 2.5
    int layer;    // 1, 2 or 3
    int sample_rate;
    int channels;
    long bitrate;        // bit/s, 0 for free format
    std::size_t length;  // bytes, 0 for free format
};

// The format of the MPEG audio frame whose header starts `bytes`; none for
// fewer than four bytes, a bad sync word or any reserved value.
std::optional<FrameFormat> frame_format(std::string_view bytes);

// Whether `bytes` starts with an MPEG audio frame header (layer I to III,
// MPEG 1, 2 or 2.5) whose whole frame is there, followed by a second
// matching header when `bytes` holds more than that one frame. Free-format
// frames (no bitrate in the header) are taken on their header alone.
bool starts_with_mpeg_audio(std::string_view bytes);

// Samples one frame decodes to, per channel.
int samples_per_frame(const FrameFormat& f);

}  // namespace quorvel::mp3
