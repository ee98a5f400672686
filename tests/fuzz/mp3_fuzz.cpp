// Every entry point of the MP3 reader on one input: the input is taken as a
// whole file for the probe, and from wherever the probe says the music
// starts as the first frame for the rest, as the players use them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "mp3/frame_header.h"
#include "mp3/gapless.h"
#include "mp3/id3v2.h"
#include "mp3/music_probe.h"

namespace {

using namespace quorvel::mp3;

class MemoryFile final : public ByteSource {
  public:
    explicit MemoryFile(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool read_at(std::uint64_t offset, std::size_t count, std::string& out) override {
        if (offset > bytes_.size()) return false;
        out.assign(bytes_.substr(static_cast<std::size_t>(offset), count));
        return true;
    }

  private:
    std::string_view bytes_;
};

void use_frame(std::string_view frame, std::uint64_t played) {
    const auto format = frame_format(frame);
    if (!format) return;
    (void)starts_with_mpeg_audio(frame);
    (void)samples_per_frame(*format);
    const Gapless g = read_gapless(frame, *format);
    const ByteWindow w = byte_window(g, format->channels);
    const Span s = music_within(w, played, frame.size());
    if (s.offset + s.length > frame.size()) __builtin_trap();  // beyond what was decoded
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)id3v2_tag_size(bytes);
    MemoryFile file(bytes);
    const MusicFile music = probe_music(file);
    if (music.kind == FileKind::mpeg_audio) {
        if (music.audio_start >= size) __builtin_trap();  // music must start inside the file
        use_frame(bytes.substr(static_cast<std::size_t>(music.audio_start)), size);
    }
    use_frame(bytes, 0);
    // The first bytes steer the position in the play, to reach the window's edges.
    if (size >= 8) {
        std::uint64_t played = 0;
        for (std::size_t i = 0; i < 8; ++i) played = played << 8 | data[i];
        use_frame(bytes.substr(8), played);
    }
    return 0;
}
