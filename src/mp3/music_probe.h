// Tells an MP3 from other files by reading only the few heads it needs: the
// tag header, then a little at the offset the tag gives. A file of any size
// costs a handful of small reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvel::mp3 {

// Where the probe reads from: a file, or bytes in memory in tests.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Up to `count` bytes at `offset` into `out`, fewer at the end; false on
    // a read error.
    virtual bool read_at(std::uint64_t offset, std::size_t count, std::string& out) = 0;
};

enum class FileKind { unreadable, other, mpeg_audio };
struct MusicFile {
    FileKind kind;
    std::uint64_t audio_start;  // offset of the first frame, for mpeg_audio
};

// More than two of the longest frames: enough to see two headers agree.
inline constexpr std::size_t kProbeChunk = 8192;

// A file is taken for MPEG audio when an MPEG audio frame starts it or
// directly follows its ID3v2 tag (zero padding after the tag allowed). That
// keeps WAV, text and other files with an .mp3 name silent, and a file cut
// inside its tag or first frame too; one cut later plays what it holds.
MusicFile probe_music(ByteSource& file);

}  // namespace quorvel::mp3
