#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "artwork.h"
#include "ui/design.h"

namespace quorvel::artwork {
namespace {

using Bytes = std::vector<std::uint8_t>;

enum class Format { bmp, gif, jpeg, ico };

struct Expected {
    const char* name;
    Format format;
    int width, height;
};

// One file per picture of the design.
const Expected expected_files[] = {
    {"program_icon.ico", Format::ico, 128, 128},     {"settings_normal.jpg", Format::jpeg, 36, 20},
    {"settings_hover.jpg", Format::jpeg, 36, 20},    {"settings_pressed.jpg", Format::jpeg, 36, 20},
    {"settings_disabled.jpg", Format::jpeg, 36, 20}, {"close_normal.gif", Format::gif, 19, 17},
    {"close_hover.gif", Format::gif, 19, 17},        {"close_pressed.gif", Format::gif, 19, 17},
    {"minimise_normal.gif", Format::gif, 19, 17},    {"minimise_hover.gif", Format::gif, 19, 17},
    {"minimise_pressed.gif", Format::gif, 19, 17},   {"maximise_normal.bmp", Format::bmp, 19, 17},
    {"maximise_hover.bmp", Format::bmp, 19, 17},     {"maximise_pressed.bmp", Format::bmp, 19, 17},
    {"restore_normal.bmp", Format::bmp, 19, 17},     {"restore_hover.bmp", Format::bmp, 19, 17},
    {"restore_pressed.bmp", Format::bmp, 19, 17},    {"title_strip.bmp", Format::bmp, 5, 22},
    {"title_joint.bmp", Format::bmp, 5, 22},         {"title_holder.bmp", Format::bmp, 7, 22},
    {"date_line.bmp", Format::bmp, 5, 30},           {"title_left.bmp", Format::bmp, 5, 52},
    {"title_right.bmp", Format::bmp, 6, 52},         {"status_left.bmp", Format::bmp, 3, 24},
    {"status_middle.bmp", Format::bmp, 6, 24},       {"status_right.bmp", Format::bmp, 3, 24},
    {"border_left.bmp", Format::bmp, 3, 15},         {"border_right.bmp", Format::bmp, 3, 14},
};
static_assert(std::size(expected_files) == static_cast<std::size_t>(ui::Picture::count_) - 1);

unsigned le16(const Bytes& b, std::size_t at) {
    return b.at(at) | (b.at(at + 1) << 8);
}
std::uint32_t le32(const Bytes& b, std::size_t at) {
    return le16(b, at) | (static_cast<std::uint32_t>(le16(b, at + 2)) << 16);
}
unsigned be16(const Bytes& b, std::size_t at) {
    return (b.at(at) << 8) | b.at(at + 1);
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// Pixel (x, y), top row 0, of a 24-bit bottom-up BMP.
Rgb bmp_pixel(const Bytes& bmp, int x, int y) {
    const auto w = static_cast<int>(le32(bmp, 18)), h = static_cast<int>(le32(bmp, 22));
    const int stride = (w * 3 + 3) / 4 * 4;
    const auto at = static_cast<std::size_t>(54 + (h - 1 - y) * stride + x * 3);
    return {bmp.at(at + 2), bmp.at(at + 1), bmp.at(at)};
}

struct Decoded {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * width + x)); }
};

// Just enough of a GIF reader for one image with a global table.
Decoded decode_gif(const Bytes& gif) {
    if (std::string(gif.begin(), gif.begin() + 6) != "GIF89a")
        throw std::runtime_error("signature");
    Decoded out;
    out.width = static_cast<int>(le16(gif, 6));
    out.height = static_cast<int>(le16(gif, 8));
    const unsigned packed = gif.at(10);
    if (!(packed & 0x80)) throw std::runtime_error("no global table");
    const std::size_t colours = std::size_t{2} << (packed & 7);
    std::vector<Rgb> palette;
    std::size_t pos = 13;
    for (std::size_t i = 0; i < colours; ++i, pos += 3) {
        palette.push_back({gif.at(pos), gif.at(pos + 1), gif.at(pos + 2)});
    }
    if (gif.at(pos) != 0x2C) throw std::runtime_error("image descriptor expected");
    if (le16(gif, pos + 5) != static_cast<unsigned>(out.width) || gif.at(pos + 9) != 0) {
        throw std::runtime_error("unexpected image descriptor");
    }
    pos += 10;
    const int min_size = gif.at(pos++);
    Bytes data;
    while (const std::size_t n = gif.at(pos++)) {
        data.insert(data.end(), gif.begin() + static_cast<long>(pos),
                    gif.begin() + static_cast<long>(pos + n));
        pos += n;
    }
    if (gif.at(pos) != 0x3B) throw std::runtime_error("trailer expected");

    const unsigned clear = 1u << min_size, end = clear + 1;
    std::vector<std::vector<std::uint8_t>> table;
    int width = 0;
    const auto reset = [&] {
        table.assign(clear + 2, {});
        for (unsigned i = 0; i < clear; ++i) table[i] = {static_cast<std::uint8_t>(i)};
        width = min_size + 1;
    };
    reset();
    std::size_t bit = 0;
    constexpr unsigned none = 0xFFFF;  // no previous code since the last clear
    unsigned previous = none;
    std::vector<std::uint8_t> indices;
    for (;;) {
        unsigned code = 0;
        for (int i = 0; i < width; ++i, ++bit) {
            if (bit / 8 >= data.size()) throw std::runtime_error("data ends before end code");
            code |= ((data[bit / 8] >> (bit % 8)) & 1u) << i;
        }
        if (code == clear) {
            reset();
            previous = none;
            continue;
        }
        if (code == end) break;
        std::vector<std::uint8_t> entry;
        if (code < table.size()) {
            entry = table[code];
        } else if (code == table.size() && previous != none) {
            entry = table[previous];
            entry.push_back(entry.front());
        } else {
            throw std::runtime_error("code out of range");
        }
        if (previous != none && table.size() < 4096) {
            auto added = table[previous];
            added.push_back(entry.front());
            table.push_back(std::move(added));
            if (table.size() == (1u << width) && width < 12) ++width;
        }
        indices.insert(indices.end(), entry.begin(), entry.end());
        previous = code;
    }
    if (indices.size() != static_cast<std::size_t>(out.width * out.height)) {
        throw std::runtime_error("pixel count");
    }
    for (auto i : indices) out.pixels.push_back(palette.at(i));
    return out;
}

class Artwork : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { files_ = new std::vector<ImageFile>(draw_all()); }
    static void TearDownTestSuite() {
        delete files_;
        files_ = nullptr;
    }
    static const Bytes& file(const std::string& name) {
        for (const ImageFile& f : *files_)
            if (f.name == name) return f.bytes;
        throw std::runtime_error("no file " + name);
    }
    static std::vector<ImageFile>* files_;
};
std::vector<ImageFile>* Artwork::files_ = nullptr;

const Rgb white{255, 255, 255};

TEST_F(Artwork, EveryPictureIsAFileOfItsFormatAndSize) {
    ASSERT_EQ(files_->size(), std::size(expected_files));
    for (const Expected& e : expected_files) {
        SCOPED_TRACE(e.name);
        const Bytes& b = file(e.name);
        int w = 0, h = 0;
        switch (e.format) {
            case Format::bmp:
                ASSERT_EQ(std::string(b.begin(), b.begin() + 2), "BM");
                w = static_cast<int>(le32(b, 18));
                h = static_cast<int>(le32(b, 22));
                break;
            case Format::gif: {
                const Decoded d = decode_gif(b);
                w = d.width;
                h = d.height;
                break;
            }
            case Format::jpeg: {
                // Walk the marker segments to the frame header.
                ASSERT_EQ(be16(b, 0), 0xFFD8u);
                std::size_t pos = 2;
                while (be16(b, pos) != 0xFFC0) {
                    const unsigned marker = be16(b, pos);
                    ASSERT_TRUE(marker >= 0xFFC0 && marker != 0xFFDA) << std::hex << marker;
                    ASSERT_FALSE(marker >= 0xFFC1 && marker <= 0xFFCF && marker != 0xFFC4 &&
                                 marker != 0xFFCC)
                        << "not baseline: " << std::hex << marker;
                    pos += 2 + be16(b, pos + 2);
                }
                EXPECT_EQ(b.at(pos + 4), 8);  // sample precision
                h = static_cast<int>(be16(b, pos + 5));
                w = static_cast<int>(be16(b, pos + 7));
                EXPECT_EQ(b.at(pos + 9), 3);  // components
                EXPECT_EQ(be16(b, b.size() - 2), 0xFFD9u);
                break;
            }
            case Format::ico:
                ASSERT_EQ(le16(b, 2), 1u);  // icon, not cursor
                w = b.at(6);
                h = b.at(7);
                break;
        }
        EXPECT_EQ(w, e.width);
        EXPECT_EQ(h, e.height);
    }
}

TEST_F(Artwork, JpegsAreJfif) {
    for (const char* name : {"settings_normal.jpg", "settings_hover.jpg", "settings_pressed.jpg",
                             "settings_disabled.jpg"}) {
        SCOPED_TRACE(name);
        const Bytes& b = file(name);
        EXPECT_EQ(be16(b, 2), 0xFFE0u);
        EXPECT_EQ(std::string(b.begin() + 6, b.begin() + 11), std::string("JFIF\0", 5));
    }
    const Image tiny(1, 1);
    EXPECT_THROW(encode_jpeg(tiny, 0), std::invalid_argument);
    EXPECT_THROW(encode_jpeg(tiny, 101), std::invalid_argument);
}

TEST_F(Artwork, BmpHeadersAreTheClassic54Bytes) {
    for (const Expected& e : expected_files) {
        if (e.format != Format::bmp) continue;
        SCOPED_TRACE(e.name);
        const Bytes& b = file(e.name);
        const std::uint32_t stride = (static_cast<std::uint32_t>(e.width) * 3 + 3) / 4 * 4;
        const std::uint32_t size = 54 + stride * static_cast<std::uint32_t>(e.height);
        EXPECT_EQ(b.size(), size);
        EXPECT_EQ(le32(b, 2), size);                                  // bfSize
        EXPECT_EQ(le32(b, 10), 54u);                                  // bfOffBits
        EXPECT_EQ(le32(b, 14), 40u);                                  // BITMAPINFOHEADER
        EXPECT_EQ(static_cast<std::int32_t>(le32(b, 22)), e.height);  // bottom-up
        EXPECT_EQ(le16(b, 26), 1u);                                   // planes
        EXPECT_EQ(le16(b, 28), 24u);                                  // bits per pixel
        EXPECT_EQ(le32(b, 30), 0u);                                   // BI_RGB
        if (e.width == 19 && e.height == 17) {
            EXPECT_EQ(b.size(), 1074u);
        }
    }
}

struct PixelCase {
    const char* file;
    int x, y;
    Rgb colour;
};

// Colours the design fixes exactly.
const PixelCase fixed_pixels[] = {
    // Title row: outline, highlight, both ends of the gradient, flat rows, bottom line.
    {"title_strip.bmp", 2, 0, {0, 38, 81}},
    {"title_strip.bmp", 2, 1, {84, 162, 209}},
    {"title_strip.bmp", 2, 2, {23, 126, 190}},
    {"title_strip.bmp", 2, 10, {3, 74, 133}},
    {"title_strip.bmp", 0, 11, {2, 72, 131}},
    {"title_strip.bmp", 4, 18, {2, 72, 131}},
    {"title_strip.bmp", 2, 21, {8, 168, 220}},
    {"title_joint.bmp", 0, 11, {2, 72, 131}},
    {"title_joint.bmp", 4, 1, {84, 162, 209}},
    {"title_holder.bmp", 6, 1, {84, 162, 209}},
    {"title_holder.bmp", 3, 11, {1, 53, 98}},
    {"title_holder.bmp", 3, 18, {1, 53, 98}},
    {"title_holder.bmp", 0, 21, {8, 168, 220}},
    // Date row.
    {"date_line.bmp", 2, 0, {8, 146, 213}},
    {"date_line.bmp", 2, 27, {13, 100, 172}},
    {"date_line.bmp", 2, 28, {16, 125, 192}},
    {"date_line.bmp", 2, 29, {0, 65, 118}},
    // Status band.
    {"status_middle.bmp", 3, 0, {0, 65, 118}},
    {"status_middle.bmp", 3, 1, {54, 153, 232}},
    {"status_middle.bmp", 3, 2, {2, 103, 214}},
    {"status_middle.bmp", 3, 11, {1, 69, 142}},
    {"status_middle.bmp", 3, 12, {1, 53, 109}},
    {"status_middle.bmp", 3, 21, {1, 53, 109}},
    {"status_middle.bmp", 3, 22, {50, 106, 155}},
    {"status_middle.bmp", 3, 23, {0, 38, 81}},
    // Side borders, dark on the window edge.
    {"border_left.bmp", 0, 7, {0, 38, 81}},
    {"border_left.bmp", 1, 7, {21, 86, 140}},
    {"border_left.bmp", 2, 7, {0, 65, 118}},
    {"border_right.bmp", 0, 7, {0, 65, 118}},
    {"border_right.bmp", 1, 7, {21, 86, 140}},
    {"border_right.bmp", 2, 7, {0, 38, 81}},
    // Band ends: dark outer column, the rows inside it, magenta outer corners.
    {"title_left.bmp", 0, 30, {0, 38, 81}},
    {"title_left.bmp", 4, 1, {84, 162, 209}},
    {"title_left.bmp", 4, 21, {8, 168, 220}},
    {"title_left.bmp", 4, 22, {8, 146, 213}},
    {"title_left.bmp", 4, 51, {0, 65, 118}},
    {"title_left.bmp", 0, 0, {255, 0, 255}},
    {"title_left.bmp", 1, 0, {255, 0, 255}},
    {"title_left.bmp", 0, 1, {255, 0, 255}},
    {"title_right.bmp", 5, 30, {0, 38, 81}},
    {"title_right.bmp", 0, 11, {2, 72, 131}},
    {"title_right.bmp", 5, 0, {255, 0, 255}},
    {"title_right.bmp", 4, 0, {255, 0, 255}},
    {"title_right.bmp", 5, 1, {255, 0, 255}},
    {"status_left.bmp", 0, 10, {0, 38, 81}},
    {"status_left.bmp", 2, 1, {54, 153, 232}},
    {"status_left.bmp", 0, 23, {255, 0, 255}},
    {"status_left.bmp", 1, 23, {255, 0, 255}},
    {"status_left.bmp", 0, 22, {255, 0, 255}},
    {"status_right.bmp", 2, 10, {0, 38, 81}},
    {"status_right.bmp", 0, 1, {54, 153, 232}},
    {"status_right.bmp", 2, 23, {255, 0, 255}},
    {"status_right.bmp", 1, 23, {255, 0, 255}},
    {"status_right.bmp", 2, 22, {255, 0, 255}},
};

TEST_F(Artwork, FramePiecesCarryTheFixedColours) {
    for (const PixelCase& c : fixed_pixels) {
        SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.x) + "," +
                     std::to_string(c.y));
        EXPECT_EQ(bmp_pixel(file(c.file), c.x, c.y), c.colour);
    }
}

TEST_F(Artwork, MagentaOnlyInTheOuterCorners) {
    const Rgb magenta{255, 0, 255};
    for (const Expected& e : expected_files) {
        if (e.format != Format::bmp) continue;
        int count = 0;
        for (int y = 0; y < e.height; ++y)
            for (int x = 0; x < e.width; ++x) count += bmp_pixel(file(e.name), x, y) == magenta;
        const std::string name = e.name;
        const bool end_piece = name == "title_left.bmp" || name == "title_right.bmp" ||
                               name == "status_left.bmp" || name == "status_right.bmp";
        EXPECT_EQ(count, end_piece ? 3 : 0) << name;
    }
}

TEST_F(Artwork, TitleStripRowsAreUniformAcross) {
    // Tiled and stretched pieces must not show vertical structure.
    for (const char* name :
         {"title_strip.bmp", "title_holder.bmp", "date_line.bmp", "status_middle.bmp"}) {
        const Bytes& b = file(name);
        const auto w = static_cast<int>(le32(b, 18)), h = static_cast<int>(le32(b, 22));
        for (int y = 0; y < h; ++y)
            for (int x = 1; x < w; ++x) EXPECT_EQ(bmp_pixel(b, x, y), bmp_pixel(b, 0, y)) << name;
    }
}

TEST_F(Artwork, JointHasADarkerSeam) {
    const Bytes& joint = file("title_joint.bmp");
    for (int y = 2; y < 20; ++y) {
        const Rgb seam = bmp_pixel(joint, 2, y), side = bmp_pixel(joint, 0, y);
        EXPECT_LT(seam.r + seam.g + seam.b, side.r + side.g + side.b) << "row " << y;
        EXPECT_EQ(side, bmp_pixel(file("title_strip.bmp"), 0, y));
    }
}

// A pixel of any title button picture, whatever its format.
Rgb button_pixel(const Bytes& b, bool gif, int x, int y) {
    return gif ? decode_gif(b).at(x, y) : bmp_pixel(b, x, y);
}

struct GlyphCase {
    const char* glyph;
    bool gif;
    int x, y;  // a white pixel of the glyph on the plain and light faces
};
const GlyphCase glyphs[] = {
    {"close", true, 9, 8},                                 // centre of the cross
    {"minimise", true, 9, 11},                             // the bar below the middle
    {"maximise", false, 9, 4},                             // 2-pixel top edge
    {"maximise", false, 9, 5}, {"restore", false, 12, 4},  // rear outline, up and right
    {"restore", false, 5, 10},                             // front outline, left side
};

TEST_F(Artwork, GlyphsAreWhiteAndMoveWhenPressed) {
    for (const GlyphCase& g : glyphs) {
        const std::string stem = g.glyph;
        const std::string ext = g.gif ? ".gif" : ".bmp";
        SCOPED_TRACE(stem + " at " + std::to_string(g.x) + "," + std::to_string(g.y));
        EXPECT_EQ(button_pixel(file(stem + "_normal" + ext), g.gif, g.x, g.y), white);
        EXPECT_EQ(button_pixel(file(stem + "_hover" + ext), g.gif, g.x, g.y), white);
        EXPECT_EQ(button_pixel(file(stem + "_pressed" + ext), g.gif, g.x + 1, g.y + 1), white);
    }
    // Window outlines are hollow, the minimise bar is two rows high.
    EXPECT_NE(bmp_pixel(file("maximise_normal.bmp"), 9, 8), white);
    EXPECT_EQ(bmp_pixel(file("maximise_normal.bmp"), 9, 12), white);
    EXPECT_NE(bmp_pixel(file("maximise_normal.bmp"), 9, 3), white);
    const Decoded bar = decode_gif(file("minimise_normal.gif"));
    EXPECT_EQ(bar.at(9, 12), white);
    EXPECT_NE(bar.at(9, 10), white);
    EXPECT_NE(bar.at(9, 13), white);
}

TEST_F(Artwork, PlainButtonFaceIsTheHolderBehindIt) {
    // The buttons sit at row 2 of the holder: idle, only their glyphs show.
    const Bytes& holder = file("title_holder.bmp");
    const Decoded close = decode_gif(file("close_normal.gif"));
    for (int y = 0; y < 17; ++y) {
        EXPECT_EQ(bmp_pixel(file("maximise_normal.bmp"), 0, y), bmp_pixel(holder, 0, y + 2));
        EXPECT_EQ(close.at(0, y), bmp_pixel(holder, 0, y + 2));
        EXPECT_EQ(close.at(18, y), bmp_pixel(holder, 0, y + 2));
    }
    // Hover and pressed faces differ from the plain one, light and dark.
    const auto sum = [](Rgb c) { return c.r + c.g + c.b; };
    const Rgb plain = close.at(3, 3);
    EXPECT_GT(sum(decode_gif(file("close_hover.gif")).at(3, 3)), sum(plain));
    EXPECT_LT(sum(decode_gif(file("close_pressed.gif")).at(3, 3)), sum(plain));
    EXPECT_EQ(decode_gif(file("close_hover.gif")).at(3, 3),
              bmp_pixel(file("maximise_hover.bmp"), 3, 3));
}

TEST_F(Artwork, IconHasEightAlphaImagesLargestFirst) {
    const Bytes& ico = file("program_icon.ico");
    ASSERT_EQ(le16(ico, 0), 0u);
    ASSERT_EQ(le16(ico, 4), 8u);
    const int sizes[] = {128, 96, 72, 64, 48, 32, 24, 16};
    for (std::size_t i = 0; i < 8; ++i) {
        const int n = sizes[i];
        SCOPED_TRACE(n);
        const std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(ico.at(entry), n);
        EXPECT_EQ(ico.at(entry + 1), n);
        EXPECT_EQ(le16(ico, entry + 4), 1u);
        EXPECT_EQ(le16(ico, entry + 6), 32u);
        const std::uint32_t mask_stride = (static_cast<std::uint32_t>(n) + 31) / 32 * 4;
        const std::uint32_t length = 40 + 4u * n * n + mask_stride * n;
        const std::uint32_t offset = le32(ico, entry + 12);
        ASSERT_EQ(le32(ico, entry + 8), length);
        ASSERT_LE(offset + length, ico.size());
        EXPECT_EQ(le32(ico, offset), 40u);
        EXPECT_EQ(static_cast<int>(le32(ico, offset + 4)), n);
        EXPECT_EQ(static_cast<int>(le32(ico, offset + 8)), 2 * n);  // colour + mask
        EXPECT_EQ(le16(ico, offset + 14), 32u);
        EXPECT_EQ(le32(ico, offset + 16), 0u);

        // Alpha (bottom-up BGRA) and the AND mask agree; corners clear, middle solid.
        const auto alpha = [&](int x, int y) {
            return ico.at(offset + 40 + static_cast<std::size_t>(((n - 1 - y) * n + x) * 4 + 3));
        };
        const auto masked = [&](int x, int y) {
            const std::size_t row = offset + 40 + 4u * n * n + mask_stride * (n - 1 - y);
            return ((ico.at(row + static_cast<std::size_t>(x / 8)) >> (7 - x % 8)) & 1) != 0;
        };
        EXPECT_EQ(alpha(0, 0), 0);
        EXPECT_EQ(alpha(n - 1, n - 1), 0);
        EXPECT_EQ(alpha(n / 2, n / 2), 255);
        int partial = 0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                EXPECT_EQ(masked(x, y), alpha(x, y) == 0) << x << "," << y;
                partial += alpha(x, y) != 0 && alpha(x, y) != 255;
            }
        EXPECT_GT(partial, 0) << "edges are anti-aliased";
    }
}

TEST(ArtworkGif, LzwRoundTripsThroughTableResets) {
    // 256 colours of noise overflow the 4096-entry table many times.
    Image noise(200, 120);
    std::uint32_t lcg = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            lcg = lcg * 1664525u + 1013904223u;
            const auto v = static_cast<std::uint8_t>(lcg >> 24);
            // Runs as well as noise, so long strings enter the table too.
            const auto c = static_cast<std::uint8_t>(x < 100 ? v : (x / 7 + y) % 3);
            noise.at(x, y) = {c, static_cast<std::uint8_t>(255 - c), c, 255};
        }
    const Decoded d = decode_gif(encode_gif(noise));
    ASSERT_EQ(d.width, noise.width());
    ASSERT_EQ(d.height, noise.height());
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            const Rgba& p = noise.at(x, y);
            ASSERT_EQ(d.at(x, y), (Rgb{p.r, p.g, p.b})) << x << "," << y;
        }
}

TEST(ArtworkGif, SmallPalettesAndTooManyColours) {
    Image one(3, 2, {10, 20, 30, 255});
    const Decoded d = decode_gif(encode_gif(one));
    EXPECT_EQ(d.at(2, 1), (Rgb{10, 20, 30}));

    Image many(257, 1);
    for (int x = 0; x < 257; ++x)
        many.at(x, 0) = {static_cast<std::uint8_t>(x), 0, static_cast<std::uint8_t>(x >> 8), 255};
    EXPECT_THROW(encode_gif(many), std::invalid_argument);
}

TEST_F(Artwork, SameBytesEveryRun) {
    const std::vector<ImageFile> again = draw_all();
    ASSERT_EQ(again.size(), files_->size());
    for (std::size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].name, (*files_)[i].name);
        EXPECT_TRUE(again[i].bytes == (*files_)[i].bytes) << again[i].name;
    }
}

}  // namespace
}  // namespace quorvel::artwork

namespace quorvel::artwork {
namespace {

// The sets for larger display scales: every picture again at each scale,
// lossless, named in the resource script; pixel-row pieces stay hard-edged.
TEST(ArtworkScaled, EveryPictureAtEveryShippedScale) {
    const std::vector<ImageFile> designed = draw_all();
    const std::vector<ImageFile> sets = draw_scaled_sets();
    ASSERT_EQ(sets.back().name, "scaled_pictures.rc");
    const std::string script(sets.back().bytes.begin(), sets.back().bytes.end());
    ASSERT_EQ(sets.size(), (std::size(expected_files) - 1) * std::size(scaled_set_percent) + 1);
    for (std::size_t i = 0; i + 1 < sets.size(); ++i) {
        const ImageFile& f = sets[i];
        SCOPED_TRACE(f.name);
        const std::size_t at = f.name.find('@');
        ASSERT_NE(at, std::string::npos);
        const int percent = std::stoi(f.name.substr(at + 1));
        const Expected* e = nullptr;
        for (const Expected& x : expected_files)
            if (std::string(x.name).starts_with(f.name.substr(0, at) + ".")) e = &x;
        ASSERT_NE(e, nullptr);
        const bool gif = f.name.ends_with(".gif");
        int w = 0, h = 0;
        if (gif) {
            const Decoded d = decode_gif(f.bytes);
            w = d.width, h = d.height;
        } else {
            ASSERT_TRUE(f.name.ends_with(".bmp"));
            w = static_cast<int>(le32(f.bytes, 18)), h = static_cast<int>(le32(f.bytes, 22));
        }
        EXPECT_EQ(w, (e->width * percent + 50) / 100);
        EXPECT_EQ(h, (e->height * percent + 50) / 100);
        EXPECT_NE(script.find("\"" + f.name + "\""), std::string::npos);
    }
    // At 200 % each designed pixel of a frame piece is a 2 x 2 block.
    const Bytes* strip = nullptr;
    const Bytes* strip2 = nullptr;
    for (const ImageFile& f : designed)
        if (f.name == "title_strip.bmp") strip = &f.bytes;
    for (const ImageFile& f : sets)
        if (f.name.starts_with("title_strip@200.")) strip2 = &f.bytes;
    ASSERT_TRUE(strip && strip2);
    const Decoded big = decode_gif(*strip2);
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 5; ++x)
            for (int d = 0; d < 4; ++d)
                EXPECT_EQ(big.at(2 * x + d % 2, 2 * y + d / 2), bmp_pixel(*strip, x, y));
}

}  // namespace
}  // namespace quorvel::artwork
