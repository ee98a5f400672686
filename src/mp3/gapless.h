// What the encoder's info frame (Xing/Info, with LAME's extension) says of
// the samples it added: encoders put silence before and after the music to
// fill whole frames, and decoders add a fixed delay of their own. Plays that
// follow one another without a gap cut both away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mp3/frame_header.h"

namespace quorvel::mp3 {

struct Gapless {
    std::size_t info_length = 0;  // the info frame itself, which holds no sound
    std::uint64_t skip = 0;       // samples to drop at the start of each play
    std::uint64_t keep = 0;       // samples of music after those, 0 when unknown
};

// Reads the info frame that `frame` (the first frame, format `f`) may be;
// all zero when it is an ordinary frame. A frame count that the declared
// delay and padding exceed leaves `keep` unknown.
Gapless read_gapless(std::string_view frame, const FrameFormat& f);

// The bytes of decoded sound to keep in a play: `skip` bytes dropped at its
// start, then `keep` bytes kept (0: all the rest).
struct ByteWindow {
    std::uint64_t skip = 0;
    std::uint64_t keep = 0;
};
// In bytes of 16-bit samples over `channels`; saturates instead of wrapping.
ByteWindow byte_window(const Gapless& g, int channels);

// The part of `length` freshly decoded bytes, the play's bytes
// [played, played + length), that lies inside the window: its offset
// among those bytes and its length.
struct Span {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};
Span music_within(const ByteWindow& w, std::uint64_t played, std::uint64_t length);

}  // namespace quorvel::mp3
