#include "mp3/frame_header.h"

#include <array>

namespace quorvel::mp3 {

namespace {

constexpr std::array<std::array<int, 3>, 4> kRates{{
    {11025, 12000, 8000},   // MPEG 2.5
    {0, 0, 0},              // reserved
    {22050, 24000, 16000},  // MPEG 2
    {44100, 48000, 32000},  // MPEG 1
}};

// kbit/s by [MPEG 1 ? layer - 1 : 3 + (layer == 1 ? 0 : 1)][index].
constexpr std::array<std::array<int, 15>, 5> kBitrates{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
}};

std::size_t frame_length(int version, int layer, long bitrate, long rate, int padding) {
    if (bitrate == 0) return 0;  // free format: only the next sync word tells
    if (layer == 1) return static_cast<std::size_t>((12 * bitrate / rate + padding) * 4);
    // Layer III outside MPEG 1 holds half as many samples a frame.
    const long factor = layer == 3 && version != 3 ? 72 : 144;
    return static_cast<std::size_t>(factor * bitrate / rate + padding);
}

}  // namespace

std::optional<FrameFormat> frame_format(std::string_view bytes) {
    if (bytes.size() < 4) return std::nullopt;
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (b(0) != 0xFF || (b(1) & 0xE0) != 0xE0) return std::nullopt;
    const int version = (b(1) >> 3) & 3;
    const int layer_bits = (b(1) >> 1) & 3;
    const int bitrate_index = b(2) >> 4;
    const int rate_index = (b(2) >> 2) & 3;
    const int padding = (b(2) >> 1) & 1;
    if (version == 1 || layer_bits == 0 || bitrate_index == 15 || rate_index == 3 ||
        (b(3) & 3) == 2) {
        return std::nullopt;  // reserved values: not a frame header
    }
    const int layer = 4 - layer_bits;
    const std::size_t row =
        version == 3 ? static_cast<std::size_t>(layer - 1) : (layer == 1 ? 3 : 4);
    const long bitrate = kBitrates[row][static_cast<std::size_t>(bitrate_index)] * 1000L;
    const long rate =
        kRates[static_cast<std::size_t>(version)][static_cast<std::size_t>(rate_index)];
    const int channels = (b(3) >> 6) == 3 ? 1 : 2;
    return FrameFormat{version,  layer,   static_cast<int>(rate),
                       channels, bitrate, frame_length(version, layer, bitrate, rate, padding)};
}

bool starts_with_mpeg_audio(std::string_view bytes) {
    const auto first = frame_format(bytes);
    if (!first) return false;
    if (first->length == 0) return true;
    if (bytes.size() < first->length) return false;  // not even one whole frame
    if (bytes.size() == first->length) return true;
    const auto second = frame_format(bytes.substr(first->length));
    return second && second->version == first->version && second->layer == first->layer &&
           second->sample_rate == first->sample_rate;
}

int samples_per_frame(const FrameFormat& f) {
    if (f.layer == 1) return 384;
    return f.layer == 3 && f.version != 3 ? 576 : 1152;
}

}  // namespace quorvel::mp3
