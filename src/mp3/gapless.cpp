#include "mp3/gapless.h"

#include <algorithm>
#include <limits>

namespace quorvel::mp3 {

namespace {

constexpr std::uint64_t kDecoderDelay = 529;
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

std::uint64_t saturating_add(std::uint64_t a, std::uint64_t b) {
    return a > kMax - b ? kMax : a + b;
}

std::uint64_t saturating_mul(std::uint64_t a, std::uint64_t b) {
    return b != 0 && a > kMax / b ? kMax : a * b;
}

// Where the Xing/Info tag sits: after the header and the side information.
std::size_t info_offset(const FrameFormat& f) {
    const std::size_t side_info =
        f.version == 3 ? (f.channels == 1 ? 17 : 32) : (f.channels == 1 ? 9 : 17);
    return 4 + side_info;
}

}  // namespace

Gapless read_gapless(std::string_view frame, const FrameFormat& f) {
    const std::size_t at = info_offset(f);
    if (f.layer != 3 || f.length == 0 || frame.size() < at + 8) return {};
    const std::string_view tag = frame.substr(at, 4);
    if (tag != "Xing" && tag != "Info") return {};
    const auto u8 = [&](std::size_t i) { return static_cast<unsigned char>(frame[i]); };
    const auto u32 = [&](std::size_t i) {
        return std::uint32_t{u8(i)} << 24 | std::uint32_t{u8(i + 1)} << 16 |
               std::uint32_t{u8(i + 2)} << 8 | u8(i + 3);
    };
    Gapless g;
    g.info_length = f.length;
    const std::uint32_t flags = u32(at + 4);
    std::size_t p = at + 8;
    std::uint64_t frames = 0;
    if (flags & 1) {
        if (frame.size() < p + 4) return g;
        frames = u32(p);
        p += 4;
    }
    p += (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
    if (frame.size() < p + 24 || frame.substr(p, 4) != "LAME") return g;
    const std::uint64_t delay = std::uint64_t{u8(p + 21)} << 4 | u8(p + 22) >> 4;
    const std::uint64_t padding = std::uint64_t{u8(p + 22) & 0x0Fu} << 8 | u8(p + 23);
    const std::uint64_t samples = frames * static_cast<std::uint64_t>(samples_per_frame(f));
    g.skip = delay + kDecoderDelay;
    if (samples > delay + padding) g.keep = samples - delay - padding;
    return g;
}

ByteWindow byte_window(const Gapless& g, int channels) {
    const std::uint64_t frame_bytes = static_cast<std::uint64_t>(std::max(channels, 0)) * 2;
    return {saturating_mul(g.skip, frame_bytes), saturating_mul(g.keep, frame_bytes)};
}

Span music_within(const ByteWindow& w, std::uint64_t played, std::uint64_t length) {
    const std::uint64_t from = played, to = saturating_add(played, length);
    const std::uint64_t begin = std::max(from, w.skip);
    const std::uint64_t end = w.keep ? std::min(to, saturating_add(w.skip, w.keep)) : to;
    if (begin >= end) return {};
    return {begin - from, end - begin};
}

}  // namespace quorvel::mp3
