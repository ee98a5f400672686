#include <algorithm>
#include <map>
#include <stdexcept>
#include <unordered_map>

#include "artwork.h"
#include "byte_writer.h"

namespace quorvel::artwork {

namespace {

std::uint32_t key(Rgba c) {
    return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

// Codes are packed least significant bit first into 255-byte sub-blocks.
class CodeWriter {
  public:
    explicit CodeWriter(Bytes& out) : out_(out) {}

    void write(unsigned code, int width) {
        bits_ |= static_cast<std::uint32_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            byte(bits_ & 0xFF);
            bits_ >>= 8;
            count_ -= 8;
        }
    }

    void finish() {
        if (count_ > 0) byte(bits_ & 0xFF);
        flush_block();
        put_u8(out_, 0);  // block terminator
    }

  private:
    void byte(std::uint32_t b) {
        block_.push_back(static_cast<std::uint8_t>(b));
        if (block_.size() == 255) flush_block();
    }
    void flush_block() {
        if (block_.empty()) return;
        put_u8(out_, static_cast<unsigned>(block_.size()));
        out_.insert(out_.end(), block_.begin(), block_.end());
        block_.clear();
    }

    Bytes& out_;
    Bytes block_;
    std::uint32_t bits_ = 0;
    int count_ = 0;
};

void lzw(const std::vector<std::uint8_t>& indices, int min_code_size, Bytes& out) {
    const unsigned clear = 1u << min_code_size;
    const unsigned end = clear + 1;
    constexpr unsigned max_code = 4095;

    CodeWriter writer(out);
    std::unordered_map<std::uint32_t, unsigned> table;  // (prefix << 8 | index) -> code
    int width = min_code_size + 1;
    unsigned next = end + 1;
    writer.write(clear, width);

    unsigned prefix = indices.front();
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const std::uint8_t k = indices[i];
        const std::uint32_t entry = (prefix << 8) | k;
        if (const auto found = table.find(entry); found != table.end()) {
            prefix = found->second;
            continue;
        }
        writer.write(prefix, width);
        // The decoder learns each entry one code after we add it; widening
        // once our newest entry needs the extra bit keeps the two in step.
        const unsigned added = next++;
        table.emplace(entry, added);
        if (added >= (1u << width)) ++width;
        if (added == max_code) {
            writer.write(clear, width);
            table.clear();
            width = min_code_size + 1;
            next = end + 1;
        }
        prefix = k;
    }
    writer.write(prefix, width);
    writer.write(end, width);
    writer.finish();
}

}  // namespace

Bytes encode_gif(const Image& image) {
    // Palette in order of first appearance, so output depends only on pixels.
    std::map<std::uint32_t, std::uint8_t> index_of;
    std::vector<Rgba> palette;
    std::vector<std::uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            Rgba c = image.at(x, y);
            c.a = 255;
            auto [it, inserted] = index_of.try_emplace(key(c), 0);
            if (inserted) {
                if (palette.size() == 256) throw std::invalid_argument("GIF needs <= 256 colours");
                it->second = static_cast<std::uint8_t>(palette.size());
                palette.push_back(c);
            }
            indices.push_back(it->second);
        }
    }
    int table_bits = 1;
    while ((1u << table_bits) < palette.size()) ++table_bits;
    palette.resize(std::size_t{1} << table_bits, Rgba{0, 0, 0, 255});

    Bytes out;
    put_text(out, "GIF89a");
    put_le16(out, static_cast<unsigned>(image.width()));
    put_le16(out, static_cast<unsigned>(image.height()));
    // Global table present, 8-bit colour resolution, table size 2^table_bits.
    put_u8(out, 0x80u | 0x70u | static_cast<unsigned>(table_bits - 1));
    put_u8(out, 0);  // background colour index
    put_u8(out, 0);  // square pixels
    for (const Rgba& c : palette) {
        put_u8(out, c.r);
        put_u8(out, c.g);
        put_u8(out, c.b);
    }
    put_u8(out, 0x2C);  // image descriptor
    put_le16(out, 0);
    put_le16(out, 0);
    put_le16(out, static_cast<unsigned>(image.width()));
    put_le16(out, static_cast<unsigned>(image.height()));
    put_u8(out, 0);  // no local table, not interlaced
    const int min_code_size = std::max(2, table_bits);
    put_u8(out, static_cast<unsigned>(min_code_size));
    lzw(indices, min_code_size, out);
    put_u8(out, 0x3B);  // trailer
    return out;
}

}  // namespace quorvel::artwork
