#include <stdexcept>

#include "artwork.h"
#include "byte_writer.h"

namespace quorvel::artwork {

namespace {

// One icon image: BITMAPINFOHEADER (height doubled for the AND mask that
// follows), bottom-up BGRA rows, then the 1-bit mask, rows padded to 32 bits.
Bytes dib(const Image& image) {
    const auto size = static_cast<std::uint32_t>(image.width());
    const std::uint32_t mask_stride = (size + 31) / 32 * 4;
    const std::uint32_t colour_bytes = size * size * 4;
    const std::uint32_t mask_bytes = mask_stride * size;

    Bytes out;
    put_info_header(out, size, size * 2, 32, colour_bytes + mask_bytes, 0);  // colour + mask rows
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgba& p = image.at(x, y);
            put_u8(out, p.b);
            put_u8(out, p.g);
            put_u8(out, p.r);
            put_u8(out, p.a);
        }
    }
    // Systems that ignore alpha fall back on the mask: set = transparent.
    for (int y = image.height() - 1; y >= 0; --y) {
        Bytes row(mask_stride, 0);
        for (int x = 0; x < image.width(); ++x) {
            if (image.at(x, y).a == 0) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

Bytes encode_ico(std::span<const Image> images) {
    if (images.empty() || images.size() > 0xFFFF) throw std::invalid_argument("icon image count");
    std::vector<Bytes> entries;
    for (const Image& image : images) {
        if (image.width() != image.height() || image.width() > 256) {
            throw std::invalid_argument("icon images are square, at most 256 pixels");
        }
        entries.push_back(dib(image));
    }

    Bytes out;
    put_le16(out, 0);  // reserved
    put_le16(out, 1);  // icon
    put_le16(out, static_cast<unsigned>(images.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const unsigned size = static_cast<unsigned>(images[i].width()) & 0xFF;  // 256 is 0
        put_u8(out, size);
        put_u8(out, size);
        put_u8(out, 0);  // no palette
        put_u8(out, 0);
        put_le16(out, 1);   // planes
        put_le16(out, 32);  // bits per pixel
        put_le32(out, static_cast<std::uint32_t>(entries[i].size()));
        put_le32(out, offset);
        offset += static_cast<std::uint32_t>(entries[i].size());
    }
    for (const Bytes& e : entries) out.insert(out.end(), e.begin(), e.end());
    return out;
}

}  // namespace quorvel::artwork
