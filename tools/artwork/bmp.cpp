#include "artwork.h"
#include "byte_writer.h"

namespace quorvel::artwork {

Bytes encode_bmp(const Image& image) {
    const auto w = static_cast<std::uint32_t>(image.width());
    const auto h = static_cast<std::uint32_t>(image.height());
    const std::uint32_t stride = (w * 3 + 3) / 4 * 4;
    const std::uint32_t data_size = stride * h;
    constexpr std::uint32_t header_size = 14 + 40;

    Bytes out;
    out.reserve(header_size + data_size);
    // BITMAPFILEHEADER
    put_text(out, "BM");
    put_le32(out, header_size + data_size);
    put_le32(out, 0);
    put_le32(out, header_size);
    put_info_header(out, w, h, 24, data_size, 2835);  // 72 dpi

    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgba& p = image.at(x, y);
            put_u8(out, p.b);
            put_u8(out, p.g);
            put_u8(out, p.r);
        }
        for (std::uint32_t pad = w * 3; pad < stride; ++pad) put_u8(out, 0);
    }
    return out;
}

}  // namespace quorvel::artwork
