// Little- and big-endian appends for the encoders.
#pragma once

#include <cstdint>
#include <string_view>

#include "artwork.h"

namespace quorvel::artwork {

inline void put_u8(Bytes& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
}
inline void put_le16(Bytes& out, unsigned v) {
    put_u8(out, v & 0xFF);
    put_u8(out, (v >> 8) & 0xFF);
}
inline void put_le32(Bytes& out, std::uint32_t v) {
    put_le16(out, v & 0xFFFF);
    put_le16(out, v >> 16);
}
inline void put_be16(Bytes& out, unsigned v) {
    put_u8(out, (v >> 8) & 0xFF);
    put_u8(out, v & 0xFF);
}
inline void put_text(Bytes& out, std::string_view s) {
    for (char c : s) out.push_back(static_cast<std::uint8_t>(c));
}

// BITMAPINFOHEADER, uncompressed (BI_RGB); a positive height means bottom-up
// rows. Shared by BMP files and icon entries.
inline void put_info_header(Bytes& out, std::uint32_t width, std::uint32_t height, unsigned bits,
                            std::uint32_t image_bytes, std::uint32_t pixels_per_metre) {
    put_le32(out, 40);
    put_le32(out, width);
    put_le32(out, height);
    put_le16(out, 1);  // planes
    put_le16(out, bits);
    put_le32(out, 0);  // BI_RGB
    put_le32(out, image_bytes);
    put_le32(out, pixels_per_metre);
    put_le32(out, pixels_per_metre);
    put_le32(out, 0);  // colours used
    put_le32(out, 0);  // colours important
}

}  // namespace quorvel::artwork
