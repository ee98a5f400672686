// Hand-made MP3 pieces for the MP3 reader's tests.
#pragma once

#include <cstdint>
#include <string>

namespace quorvel::test {

// A frame of `length` bytes: its four header bytes, then zeros.
inline std::string mp3_frame(unsigned char b1, unsigned char b2, std::size_t length,
                             unsigned char b3 = 0) {
    std::string f(length < 4 ? 4 : length, '\0');
    f[0] = '\xFF';
    f[1] = static_cast<char>(b1);
    f[2] = static_cast<char>(b2);
    f[3] = static_cast<char>(b3);
    return f;
}

// MPEG 1 layer III, 128 kbit/s, 44.1 kHz, stereo: 417 bytes.
inline std::string layer3_frame() {
    return mp3_frame(0xFB, 0x90, 417);
}

// An ID3v2 header: version, flags and the four size bytes as given.
inline std::string id3_header(unsigned char version, unsigned char flags,
                              std::uint32_t size_bytes) {
    std::string h = "ID3";
    h += static_cast<char>(version);
    h += '\0';
    h += static_cast<char>(flags);
    for (int shift = 24; shift >= 0; shift -= 8) h += static_cast<char>(size_bytes >> shift & 0xFF);
    return h;
}

}  // namespace quorvel::test
