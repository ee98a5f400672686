#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "artwork.h"
#include "byte_writer.h"

namespace quorvel::artwork {

namespace {

using Block = std::array<double, 64>;

constexpr std::array<int, 64> zigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

// ITU T.81 Annex K.1, in natural order.
constexpr std::array<int, 64> luma_base = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
};
constexpr std::array<int, 64> chroma_base = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
};

// Annex K.3: code counts per length 1..16, then the symbols.
struct HuffmanTable {
    std::array<std::uint8_t, 16> counts;
    std::vector<std::uint8_t> symbols;
};

const HuffmanTable dc_luma{{0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0},
                           {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanTable dc_chroma{{0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0},
                             {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanTable ac_luma{
    {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d},
    {0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61,
     0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52,
     0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25,
     0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45,
     0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64,
     0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83,
     0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99,
     0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6,
     0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3,
     0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8,
     0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}};
const HuffmanTable ac_chroma{
    {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77},
    {0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61,
     0x71, 0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33,
     0x52, 0xf0, 0x15, 0x62, 0x72, 0xd1, 0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18,
     0x19, 0x1a, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44,
     0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63,
     0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a,
     0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97,
     0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4,
     0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca,
     0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7,
     0xe8, 0xe9, 0xea, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}};

struct Code {
    std::uint16_t bits = 0;
    std::uint8_t length = 0;
};

// Canonical codes (Annex C), indexed by symbol.
std::array<Code, 256> build_codes(const HuffmanTable& huffman) {
    std::array<Code, 256> codes{};
    unsigned code = 0;
    std::size_t k = 0;
    for (int len = 1; len <= 16; ++len) {
        for (int i = 0; i < huffman.counts[static_cast<std::size_t>(len - 1)]; ++i) {
            codes[huffman.symbols[k++]] = {static_cast<std::uint16_t>(code),
                                           static_cast<std::uint8_t>(len)};
            ++code;
        }
        code <<= 1;
    }
    return codes;
}

std::array<std::uint8_t, 64> scaled_table(const std::array<int, 64>& base, int quality) {
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::array<std::uint8_t, 64> table{};
    for (std::size_t i = 0; i < 64; ++i) {
        table[i] = static_cast<std::uint8_t>(std::clamp((base[i] * scale + 50) / 100, 1, 255));
    }
    return table;
}

// Entropy-coded segment writer: MSB first, 0xFF bytes stuffed with 0x00.
class BitWriter {
  public:
    explicit BitWriter(Bytes& out) : out_(out) {}

    void write(unsigned bits, int length) {
        for (int i = length - 1; i >= 0; --i) {
            acc_ = static_cast<std::uint8_t>((acc_ << 1) | ((bits >> i) & 1u));
            if (++count_ == 8) emit();
        }
    }
    void write(Code c) { write(c.bits, c.length); }

    void finish() {
        while (count_ != 0) write(1, 1);  // pad with ones
    }

  private:
    void emit() {
        put_u8(out_, acc_);
        if (acc_ == 0xFF) put_u8(out_, 0);
        acc_ = 0;
        count_ = 0;
    }

    Bytes& out_;
    std::uint8_t acc_ = 0;
    int count_ = 0;
};

// Magnitude category and the extra bits that follow the Huffman code.
struct Amplitude {
    int size;
    unsigned bits;
};
Amplitude amplitude(int v) {
    const int magnitude = v < 0 ? -v : v;
    int size = 0;
    while ((1 << size) <= magnitude) ++size;
    const unsigned bits = static_cast<unsigned>(v < 0 ? v + (1 << size) - 1 : v);
    return {size, bits & ((1u << size) - 1u)};
}

class Fdct {
  public:
    Fdct() {
        for (int u = 0; u < 8; ++u) {
            const double cu = u == 0 ? std::sqrt(0.125) : 0.5;
            for (int x = 0; x < 8; ++x) {
                basis_[static_cast<std::size_t>(u * 8 + x)] =
                    cu * std::cos((2 * x + 1) * u * std::numbers::pi / 16);
            }
        }
    }

    // Separable 2-D DCT-II, orthonormal scaling as in T.81 A.3.3.
    Block operator()(const Block& in) const {
        Block rows{}, out{};
        for (int y = 0; y < 8; ++y)
            for (int u = 0; u < 8; ++u) {
                double s = 0;
                for (int x = 0; x < 8; ++x) s += basis_[at(u, x)] * in[at(y, x)];
                rows[at(y, u)] = s;
            }
        for (int u = 0; u < 8; ++u)
            for (int v = 0; v < 8; ++v) {
                double s = 0;
                for (int y = 0; y < 8; ++y) s += basis_[at(v, y)] * rows[at(y, u)];
                out[at(v, u)] = s;
            }
        return out;
    }

  private:
    static std::size_t at(int row, int col) { return static_cast<std::size_t>(row * 8 + col); }
    Block basis_{};
};

struct Component {
    std::uint8_t id;
    std::uint8_t table;  // 0 luma, 1 chroma
};

void put_dqt(Bytes& out, int id, const std::array<std::uint8_t, 64>& table) {
    put_be16(out, 0xFFDB);
    put_be16(out, 2 + 1 + 64);
    put_u8(out, static_cast<unsigned>(id));  // 8-bit precision
    for (int i : zigzag) put_u8(out, table[static_cast<std::size_t>(i)]);
}

void put_dht(Bytes& out, unsigned class_and_id, const HuffmanTable& huffman) {
    put_be16(out, 0xFFC4);
    put_be16(out, static_cast<unsigned>(2 + 1 + 16 + huffman.symbols.size()));
    put_u8(out, class_and_id);
    for (auto c : huffman.counts) put_u8(out, c);
    out.insert(out.end(), huffman.symbols.begin(), huffman.symbols.end());
}

}  // namespace

Bytes encode_jpeg(const Image& image, int quality) {
    if (quality < 1 || quality > 100) throw std::invalid_argument("JPEG quality is 1..100");
    const int w = image.width(), h = image.height();
    if (w > 0xFFFF || h > 0xFFFF) throw std::invalid_argument("JPEG image too large");

    const std::array<std::array<std::uint8_t, 64>, 2> quant = {scaled_table(luma_base, quality),
                                                               scaled_table(chroma_base, quality)};
    const std::array<std::array<Code, 256>, 2> dc = {build_codes(dc_luma), build_codes(dc_chroma)};
    const std::array<std::array<Code, 256>, 2> ac = {build_codes(ac_luma), build_codes(ac_chroma)};
    constexpr std::array<Component, 3> components = {{{1, 0}, {2, 1}, {3, 1}}};

    Bytes out;
    put_be16(out, 0xFFD8);  // SOI
    put_be16(out, 0xFFE0);  // APP0 JFIF 1.01, aspect ratio 1:1, no thumbnail
    put_be16(out, 16);
    put_text(out, std::string_view("JFIF\0", 5));
    put_u8(out, 1);
    put_u8(out, 1);
    put_u8(out, 0);
    put_be16(out, 1);
    put_be16(out, 1);
    put_u8(out, 0);
    put_u8(out, 0);
    put_dqt(out, 0, quant[0]);
    put_dqt(out, 1, quant[1]);
    put_be16(out, 0xFFC0);  // SOF0, baseline
    put_be16(out, 8 + 3 * 3);
    put_u8(out, 8);
    put_be16(out, static_cast<unsigned>(h));
    put_be16(out, static_cast<unsigned>(w));
    put_u8(out, 3);
    for (const Component& c : components) {
        put_u8(out, c.id);
        put_u8(out, 0x11);  // no subsampling
        put_u8(out, c.table);
    }
    put_dht(out, 0x00, dc_luma);
    put_dht(out, 0x10, ac_luma);
    put_dht(out, 0x01, dc_chroma);
    put_dht(out, 0x11, ac_chroma);
    put_be16(out, 0xFFDA);  // SOS
    put_be16(out, 6 + 2 * 3);
    put_u8(out, 3);
    for (const Component& c : components) {
        put_u8(out, c.id);
        put_u8(out, c.table == 0 ? 0x00u : 0x11u);
    }
    put_u8(out, 0);
    put_u8(out, 63);
    put_u8(out, 0);

    const Fdct fdct;
    BitWriter bits(out);
    std::array<int, 3> previous_dc{};
    for (int by = 0; by < h; by += 8) {
        for (int bx = 0; bx < w; bx += 8) {
            std::array<Block, 3> planes{};
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    // Edge pixels repeat into the padding of partial blocks.
                    const Rgba& p = image.at(std::min(bx + x, w - 1), std::min(by + y, h - 1));
                    const auto i = static_cast<std::size_t>(y * 8 + x);
                    planes[0][i] = 0.299 * p.r + 0.587 * p.g + 0.114 * p.b - 128;
                    planes[1][i] = -0.168736 * p.r - 0.331264 * p.g + 0.5 * p.b;
                    planes[2][i] = 0.5 * p.r - 0.418688 * p.g - 0.081312 * p.b;
                }
            }
            for (std::size_t c = 0; c < 3; ++c) {
                const std::size_t t = components[c].table;
                const Block coef = fdct(planes[c]);
                std::array<int, 64> q{};
                for (std::size_t i = 0; i < 64; ++i) {
                    const auto n = static_cast<std::size_t>(zigzag[i]);
                    q[i] = static_cast<int>(std::lround(coef[n] / quant[t][n]));
                }
                const Amplitude d = amplitude(q[0] - previous_dc[c]);
                previous_dc[c] = q[0];
                bits.write(dc[t][static_cast<std::size_t>(d.size)]);
                bits.write(d.bits, d.size);
                int run = 0;
                for (std::size_t i = 1; i < 64; ++i) {
                    if (q[i] == 0) {
                        ++run;
                        continue;
                    }
                    for (; run > 15; run -= 16) bits.write(ac[t][0xF0]);  // ZRL
                    const Amplitude a = amplitude(q[i]);
                    bits.write(ac[t][static_cast<std::size_t>((run << 4) | a.size)]);
                    bits.write(a.bits, a.size);
                    run = 0;
                }
                if (run > 0) bits.write(ac[t][0x00]);  // EOB
            }
        }
    }
    bits.finish();
    put_be16(out, 0xFFD9);  // EOI
    return out;
}

}  // namespace quorvel::artwork
