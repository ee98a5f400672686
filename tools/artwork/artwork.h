// The program's pictures, drawn from code at build time, and the small image
// encoders that write them. Standard library only, so it builds on any host.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorvel::artwork {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    constexpr bool operator==(const Rgba&) const = default;
};

// Straight (not premultiplied) alpha, top row first.
class Image {
  public:
    Image(int width, int height, Rgba fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    Rgba& at(int x, int y) { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
    const Rgba& at(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }

  private:
    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

struct ImageFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

using Bytes = std::vector<std::uint8_t>;

// Windows BMP, 24 bits per pixel, BI_RGB, 54-byte header, bottom-up rows
// padded to 4 bytes. Alpha is dropped.
Bytes encode_bmp(const Image& image);

// GIF89a with one global colour table; throws std::invalid_argument when the
// image has more than 256 colours. Alpha is dropped.
Bytes encode_gif(const Image& image);

// Baseline JFIF, 4:4:4, standard Huffman tables; quality 1..100 as in IJG.
Bytes encode_jpeg(const Image& image, int quality);

// Icon file of square 32-bit images with alpha (BITMAPINFOHEADER DIB + AND
// mask per entry), entries in the order given; sizes 1..256.
Bytes encode_ico(std::span<const Image> images);

// Every picture of the program, each a complete file named as the resource
// script expects. Deterministic: the same bytes on every run.
std::vector<ImageFile> draw_all();

// The same pictures drawn for the shipped display scales (125, 150, 200 %),
// and scaled_pictures.rc, which embeds set n (1-based) under each picture's
// designed resource id + n * scaled_set_id_step.
inline constexpr int scaled_set_percent[] = {125, 150, 200};
inline constexpr int scaled_set_id_step = 1000;
std::vector<ImageFile> draw_scaled_sets();

}  // namespace quorvel::artwork
