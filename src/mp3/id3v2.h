// The ID3v2 tag that taggers put in front of an MP3's first frame.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorvel::mp3 {

// Bytes of the tag's header; also as many as id3v2_tag_size needs.
inline constexpr std::size_t kId3v2HeaderSize = 10;

// The whole size (header, body, footer) of the ID3v2 tag that `head`, the
// first ten or more bytes of a file, starts with; 0 when there is none. The
// figure is the tag's own claim, up to 256 MiB: callers compare it with the
// file's size before they trust it.
std::uint64_t id3v2_tag_size(std::string_view head);

}  // namespace quorvel::mp3
