#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "mp3/music_probe.h"
#include "mp3_bytes.h"

namespace quorvel::mp3 {
namespace {

// A file of `size` bytes, zeros but for the pieces placed in it, that
// counts what is read from it: it stands for files of any size.
class SparseFile final : public ByteSource {
  public:
    explicit SparseFile(std::uint64_t size) : size_(size) {}
    SparseFile& put(std::uint64_t offset, const std::string& bytes) {
        pieces_[offset] = bytes;
        return *this;
    }
    std::uint64_t size() const override { return size_; }
    bool read_at(std::uint64_t offset, std::size_t count, std::string& out) override {
        if (fail_) return false;
        ++reads;
        const std::uint64_t end = std::min(size_, offset + count);
        out.assign(end > offset ? static_cast<std::size_t>(end - offset) : 0, '\0');
        for (const auto& [at, bytes] : pieces_) {
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                if (at + i >= offset && at + i < end) out[at + i - offset] = bytes[i];
            }
        }
        bytes_read += out.size();
        return true;
    }
    void fail() { fail_ = true; }

    int reads = 0;
    std::uint64_t bytes_read = 0;

  private:
    std::uint64_t size_;
    std::map<std::uint64_t, std::string> pieces_;
    bool fail_ = false;
};

const std::string kTwoFrames = test::layer3_frame() + test::layer3_frame();
constexpr std::uint64_t kClaim256M = 268435465;  // the largest size a tag can claim
constexpr std::uint64_t kTwoGiB = 2ull << 30;

TEST(Mp3Probe, FindsTheFirstFrame) {
    struct Case {
        const char* name;
        SparseFile file;
        FileKind kind;
        std::uint64_t start;
    };
    const std::string tag = test::id3_header(3, 0, 0x00000100);  // 138 bytes
    Case cases[] = {
        {"plain frames", SparseFile(834).put(0, kTwoFrames), FileKind::mpeg_audio, 0},
        {"after the tag", SparseFile(138 + 834).put(0, tag).put(138, kTwoFrames),
         FileKind::mpeg_audio, 138},
        {"after zeros padding the tag", SparseFile(20000 + 834).put(0, tag).put(20000, kTwoFrames),
         FileKind::mpeg_audio, 20000},
        {"tag then other bytes", SparseFile(1000).put(0, tag).put(138, "RIFF....WAVE"),
         FileKind::other, 0},
        {"tag then zeros past 1 MiB", SparseFile(3 << 20).put(0, tag).put(2 << 20, kTwoFrames),
         FileKind::other, 0},
        {"tag cut short", SparseFile(100).put(0, tag), FileKind::other, 0},
        {"tag claims more than the file",
         SparseFile(5000).put(0, test::id3_header(3, 0, 0x7F7F7F7F)), FileKind::other, 0},
        {"empty file", SparseFile(0), FileKind::other, 0},
        {"cut inside the first frame", SparseFile(300).put(0, kTwoFrames.substr(0, 300)),
         FileKind::other, 0},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MusicFile m = probe_music(c.file);
        EXPECT_EQ(m.kind, c.kind);
        if (c.kind == FileKind::mpeg_audio) {
            EXPECT_EQ(m.audio_start, c.start);
        }
        EXPECT_LE(c.file.bytes_read, (1u << 20) + 2 * kProbeChunk);
    }
}

TEST(Mp3Probe, ReadsOnlyTheHeadsOfHugeFiles) {
    // A tag claiming 256 MiB: the probe looks there, and reads little.
    SparseFile tagged(kClaim256M + 834);
    tagged.put(0, test::id3_header(3, 0, 0x7F7F7F7F)).put(kClaim256M, kTwoFrames);
    const MusicFile m = probe_music(tagged);
    EXPECT_EQ(m.kind, FileKind::mpeg_audio);
    EXPECT_EQ(m.audio_start, kClaim256M);
    EXPECT_LE(tagged.bytes_read, 10 + 2 * kProbeChunk);

    SparseFile zeros(kTwoGiB);
    EXPECT_EQ(probe_music(zeros).kind, FileKind::other);
    EXPECT_LE(zeros.bytes_read, 10 + kProbeChunk);

    SparseFile music(kTwoGiB);
    music.put(0, kTwoFrames);
    EXPECT_EQ(probe_music(music).kind, FileKind::mpeg_audio);
    EXPECT_LE(music.reads, 2);
}

TEST(Mp3Probe, ReadErrorIsUnreadable) {
    SparseFile file(834);
    file.put(0, kTwoFrames).fail();
    EXPECT_EQ(probe_music(file).kind, FileKind::unreadable);
}

}  // namespace
}  // namespace quorvel::mp3
