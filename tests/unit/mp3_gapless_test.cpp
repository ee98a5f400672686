#include <gtest/gtest.h>

#include <limits>

#include "mp3/gapless.h"
#include "mp3_bytes.h"

namespace quorvel::mp3 {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

void put_u32(std::string& s, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (24 - 8 * i));
}

// An info frame as LAME writes it: `tag` ("Xing"/"Info") after the side
// information, the frame count and the fields `flags` names, then LAME's
// extension with the delay and padding when `lame` holds.
std::string info_frame(const std::string& header_frame, std::size_t at, std::uint32_t flags,
                       std::uint32_t frames, int delay, int padding, bool lame = true,
                       const char* tag = "Info") {
    std::string f = header_frame;
    f.replace(at, 4, tag);
    put_u32(f, at + 4, flags);
    std::size_t p = at + 8;
    if (flags & 1) {
        put_u32(f, p, frames);
        p += 4;
    }
    p += (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
    if (lame) {
        f.replace(p, 4, "LAME");
        f[p + 21] = static_cast<char>(delay >> 4);
        f[p + 22] = static_cast<char>((delay & 0xF) << 4 | padding >> 8);
        f[p + 23] = static_cast<char>(padding & 0xFF);
    }
    return f;
}

struct GaplessCase {
    const char* name;
    std::string frame;
    std::size_t info_length;
    std::uint64_t skip, keep;
};

TEST(Mp3Gapless, ReadsTheInfoFrame) {
    const std::string l3 = test::layer3_frame();  // stereo MPEG 1: tag at 4 + 32
    const std::string mono2 = test::mp3_frame(0xF3, 0x80, 208, 0xC0);  // mono MPEG 2: at 4 + 9
    const GaplessCase cases[] = {
        {"LAME delay and padding", info_frame(l3, 36, 0xF, 100, 576, 1000), 417, 1105, 113624},
        {"Xing tag, frame count only", info_frame(l3, 36, 1, 100, 576, 1000, true, "Xing"), 417,
         1105, 113624},
        {"MPEG 2 mono: 576 samples a frame", info_frame(mono2, 13, 1, 10, 576, 100), 208, 1105,
         5084},
        {"no LAME extension", info_frame(l3, 36, 0xF, 100, 0, 0, false), 417, 0, 0},
        {"no frame count: length unknown", info_frame(l3, 36, 0, 0, 576, 1000), 417, 1105, 0},
        {"zero frames", info_frame(l3, 36, 1, 0, 576, 1000), 417, 1105, 0},
        {"padding beyond the audio", info_frame(l3, 36, 1, 1, 576, 1000), 417, 1105, 0},
        {"largest frame count", info_frame(l3, 36, 1, 0xFFFFFFFF, 4095, 4095), 417, 4095 + 529,
         0xFFFFFFFFull * 1152 - 8190},
        {"ordinary frame", l3, 0, 0, 0},
        {"tag at the wrong place", info_frame(l3, 20, 0xF, 100, 576, 1000), 0, 0, 0},
        {"cut before the flags", info_frame(l3, 36, 0xF, 100, 576, 1000).substr(0, 42), 0, 0, 0},
        {"cut inside the frame count", info_frame(l3, 36, 1, 100, 576, 1000).substr(0, 46), 417, 0,
         0},
        {"cut inside the LAME extension", info_frame(l3, 36, 0xF, 100, 576, 1000).substr(0, 170),
         417, 0, 0},
    };
    for (const GaplessCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto format = frame_format(c.frame);
        ASSERT_TRUE(format.has_value());
        const Gapless g = read_gapless(c.frame, *format);
        EXPECT_EQ(g.info_length, c.info_length);
        EXPECT_EQ(g.skip, c.skip);
        EXPECT_EQ(g.keep, c.keep);
    }
}

TEST(Mp3Gapless, FreeFormatAndOtherLayersHaveNoInfoFrame) {
    std::string free = info_frame(test::mp3_frame(0xFB, 0x00, 417), 36, 1, 10, 576, 100);
    std::string layer2 = info_frame(test::mp3_frame(0xFD, 0xA0, 626), 36, 1, 10, 576, 100);
    for (const std::string* f : {&free, &layer2}) {
        const Gapless g = read_gapless(*f, *frame_format(*f));
        EXPECT_EQ(g.info_length, 0u);
        EXPECT_EQ(g.skip, 0u);
    }
}

TEST(Mp3Gapless, ByteWindowSaturates) {
    EXPECT_EQ(byte_window({0, 1105, 113624}, 2).skip, 4420u);
    EXPECT_EQ(byte_window({0, 1105, 113624}, 2).keep, 454496u);
    EXPECT_EQ(byte_window({0, 1105, 100}, 1).keep, 200u);
    const ByteWindow huge = byte_window({0, kMax / 2, kMax}, 2);
    EXPECT_EQ(huge.skip, kMax);
    EXPECT_EQ(huge.keep, kMax);
    EXPECT_EQ(byte_window({0, 10, 10}, 0).skip, 0u);
}

TEST(Mp3Gapless, MusicWithinTheWindow) {
    struct Case {
        ByteWindow w;
        std::uint64_t played, length, offset, kept;
    };
    const Case cases[] = {
        {{100, 50}, 0, 80, 0, 0},             // all before the music
        {{100, 50}, 80, 40, 20, 20},          // the music starts inside
        {{100, 50}, 120, 100, 0, 30},         // the music ends inside
        {{100, 50}, 60, 200, 40, 50},         // all the music inside
        {{100, 50}, 150, 10, 0, 0},           // all after the music
        {{100, 0}, 0, 200, 100, 100},         // length unknown: all after the skip
        {{0, 0}, 0, 200, 0, 200},             // no info frame
        {{100, 50}, 0, 0, 0, 0},              // nothing decoded
        {{kMax, kMax}, kMax - 5, 100, 0, 0},  // at the end of the numbers
        {{0, 0}, kMax - 5, 100, 0, 5},
        {{10, kMax}, 0, 100, 10, 90},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const Span s = music_within(c.w, c.played, c.length);
        EXPECT_EQ(s.offset, c.offset) << "case " << i;
        EXPECT_EQ(s.length, c.kept) << "case " << i;
        EXPECT_LE(s.offset + s.length, c.length) << "case " << i;
    }
}

}  // namespace
}  // namespace quorvel::mp3
