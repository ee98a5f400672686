#include "mp3/id3v2.h"

namespace quorvel::mp3 {

std::uint64_t id3v2_tag_size(std::string_view head) {
    if (head.size() < kId3v2HeaderSize || head.substr(0, 3) != "ID3") return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(head[i]); };
    // Versions 2.2 to 2.4; 0xFF never appears in version or revision.
    if (byte(3) < 2 || byte(3) > 4 || byte(4) == 0xFF) return 0;
    std::uint64_t body = 0;
    for (std::size_t i = 6; i < kId3v2HeaderSize; ++i) {
        if (byte(i) & 0x80) return 0;  // the size is "synchsafe": 7 bits a byte
        body = body << 7 | byte(i);
    }
    const bool footer = byte(3) == 4 && (byte(5) & 0x10);
    return kId3v2HeaderSize + body + (footer ? 10 : 0);
}

}  // namespace quorvel::mp3
