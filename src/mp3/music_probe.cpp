#include "mp3/music_probe.h"

#include "mp3/frame_header.h"
#include "mp3/id3v2.h"

namespace quorvel::mp3 {

namespace {

// Taggers may pad beyond the size they declare; zeros are skipped this far.
constexpr std::uint64_t kMaxPadding = 1u << 20;

MusicFile kind(FileKind k) {
    return {k, 0};
}

}  // namespace

MusicFile probe_music(ByteSource& file) {
    const std::uint64_t file_size = file.size();
    std::string bytes;
    if (!file.read_at(0, kId3v2HeaderSize, bytes)) return kind(FileKind::unreadable);
    // A tag that claims the whole file or more leaves no room for music; an
    // empty file holds none either.
    const std::uint64_t tag = id3v2_tag_size(bytes);
    if (tag >= file_size) return kind(FileKind::other);

    std::uint64_t offset = tag;
    while (tag != 0) {
        if (!file.read_at(offset, kProbeChunk, bytes)) return kind(FileKind::unreadable);
        const std::size_t nonzero = bytes.find_first_not_of('\0');
        if (nonzero != std::string::npos) {
            offset += nonzero;
            break;
        }
        offset += bytes.size();
        if (bytes.size() < kProbeChunk || offset - tag > kMaxPadding) {
            return kind(FileKind::other);
        }
    }
    if (!file.read_at(offset, kProbeChunk, bytes)) return kind(FileKind::unreadable);
    if (!starts_with_mpeg_audio(bytes)) return kind(FileKind::other);
    return {FileKind::mpeg_audio, offset};
}

}  // namespace quorvel::mp3
