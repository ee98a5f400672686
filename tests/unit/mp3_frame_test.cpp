#include <gtest/gtest.h>

#include "mp3/frame_header.h"
#include "mp3/id3v2.h"
#include "mp3_bytes.h"

namespace quorvel::mp3 {
namespace {

using test::id3_header;
using test::layer3_frame;
using test::mp3_frame;

struct FrameCase {
    const char* name;
    std::string bytes;
    int version, layer, rate, channels;
    long bitrate;
    std::size_t length;
};

TEST(Mp3FrameFormat, ReadsEveryVersionAndLayer) {
    const FrameCase cases[] = {
        {"MPEG 1 layer III 128k 44.1k", mp3_frame(0xFB, 0x90, 4), 3, 3, 44100, 2, 128000, 417},
        {"padded is one byte longer", mp3_frame(0xFB, 0x92, 4), 3, 3, 44100, 2, 128000, 418},
        {"MPEG 1 layer II 192k", mp3_frame(0xFD, 0xA0, 4), 3, 2, 44100, 2, 192000, 626},
        {"MPEG 1 layer I 384k 48k", mp3_frame(0xFF, 0xC4, 4), 3, 1, 48000, 2, 384000, 384},
        {"layer I pads four bytes", mp3_frame(0xFF, 0x12, 4), 3, 1, 44100, 2, 32000, 36},
        {"MPEG 2 layer III 64k 22.05k", mp3_frame(0xF3, 0x80, 4), 2, 3, 22050, 2, 64000, 208},
        {"MPEG 2 layer II 160k 16k", mp3_frame(0xF5, 0xE8, 4), 2, 2, 16000, 2, 160000, 1440},
        {"MPEG 2 layer I 256k 24k", mp3_frame(0xF7, 0xE4, 4), 2, 1, 24000, 2, 256000, 512},
        {"MPEG 2.5 layer III 8k 8 kHz", mp3_frame(0xE3, 0x18, 4), 0, 3, 8000, 2, 8000, 72},
        {"MPEG 2.5 padded, mono", mp3_frame(0xE3, 0x1A, 4, 0xC0), 0, 3, 8000, 1, 8000, 73},
        {"free format", mp3_frame(0xFB, 0x00, 4), 3, 3, 44100, 2, 0, 0},
        {"CRC-protected header", mp3_frame(0xFA, 0x90, 4), 3, 3, 44100, 2, 128000, 417},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto f = frame_format(c.bytes);
        ASSERT_TRUE(f.has_value());
        EXPECT_EQ(f->version, c.version);
        EXPECT_EQ(f->layer, c.layer);
        EXPECT_EQ(f->sample_rate, c.rate);
        EXPECT_EQ(f->channels, c.channels);
        EXPECT_EQ(f->bitrate, c.bitrate);
        EXPECT_EQ(f->length, c.length);
    }
}

TEST(Mp3FrameFormat, RefusesBadSyncReservedValuesAndShortInput) {
    const std::pair<const char*, std::string> cases[] = {
        {"bad sync", std::string("\xFF\x1B\x90\x00", 4)},
        {"first byte not 0xFF", std::string("\xFE\xFB\x90\x00", 4)},
        {"reserved version", mp3_frame(0xEB, 0x90, 4)},
        {"reserved layer", mp3_frame(0xF9, 0x90, 4)},
        {"bad bitrate index", mp3_frame(0xFB, 0xF0, 4)},
        {"reserved sample rate", mp3_frame(0xFB, 0x9C, 4)},
        {"reserved emphasis", mp3_frame(0xFB, 0x90, 4, 0x02)},
        {"three bytes", std::string("\xFF\xFB\x90", 3)},
        {"nothing", ""},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_FALSE(frame_format(bytes).has_value()) << name;
    }
}

TEST(Mp3StartsWithAudio, WantsWholeFramesThatAgree) {
    const std::string l3 = layer3_frame();
    const std::pair<std::string, bool> cases[] = {
        {l3 + l3, true},
        {l3, true},                                // one whole frame, nothing after
        {l3.substr(0, 300), false},                // cut inside the first frame
        {l3 + "junk", false},                      // junk after the first frame
        {l3 + mp3_frame(0xFD, 0xA0, 626), false},  // next frame of another layer
        {l3 + mp3_frame(0xFB, 0x94, 417), false},  // next of another sample rate
        {mp3_frame(0xFB, 0x92, 418) + l3, true},   // padded frame
        {mp3_frame(0xFB, 0x92, 417) + l3, false},  // padding ignored: off by one
        {mp3_frame(0xF3, 0x80, 208) + mp3_frame(0xF3, 0x80, 208), true},
        {mp3_frame(0xFB, 0x00, 4), true},  // free format: header alone
        {std::string("RIFF\x24\x00\x00\x00WAVEfmt ", 16), false},
        {"hello, this is not music\n", false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(starts_with_mpeg_audio(cases[i].first), cases[i].second) << "case " << i;
    }
}

TEST(Mp3Id3v2, SizesFromTheHeader) {
    const std::pair<std::string, std::uint64_t> cases[] = {
        {id3_header(3, 0, 0x00000201), 267},        // 7 bits a byte: 2 << 7 | 1
        {id3_header(4, 0x10, 0x00000010), 36},      // v2.4 footer adds ten
        {id3_header(3, 0x10, 0x00000010), 26},      // the footer flag means nothing in v2.3
        {id3_header(2, 0, 0x00000010), 26},         // v2.2
        {id3_header(3, 0x80, 0x00000010), 26},      // unsynchronised tag: size unchanged
        {id3_header(3, 0, 0x7F7F7F7F), 268435465},  // the largest claim, 256 MiB
        {id3_header(4, 0x10, 0x7F7F7F7F), 268435475},
        {id3_header(3, 0, 0x00008001), 0},  // a size byte with its high bit set
        {id3_header(5, 0, 0x00000001), 0},  // unknown version
        {id3_header(1, 0, 0x00000001), 0},
        {id3_header(3, 0, 0x00000010).substr(0, 9), 0},               // nine bytes
        {"ID3" + std::string("\x03\xFF\x00\x00\x00\x00\x01", 7), 0},  // revision 0xFF
        {layer3_frame().substr(0, 10), 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(id3v2_tag_size(cases[i].first), cases[i].second) << "case " << i;
    }
}

}  // namespace
}  // namespace quorvel::mp3
