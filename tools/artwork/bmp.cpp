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
    // BITMAPINFOHEADER; a positive height means bottom-up rows.
    put_le32(out, 40);
    put_le32(out, w);
    put_le32(out, h);
    put_le16(out, 1);   // planes
    put_le16(out, 24);  // bits per pixel
    put_le32(out, 0);   // BI_RGB
    put_le32(out, data_size);
    put_le32(out, 2835);  // 72 dpi
    put_le32(out, 2835);
    put_le32(out, 0);
    put_le32(out, 0);

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
