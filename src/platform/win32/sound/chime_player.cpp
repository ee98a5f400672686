#include "platform/win32/sound/chime_player.h"

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/win32/base/resource_ids.h"

namespace quorvel::win32 {

namespace {

std::string_view chime_resource() {
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_CHIME), RT_RCDATA);
    const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    return {static_cast<const char*>(bytes), SizeofResource(nullptr, found)};
}

std::uint32_t read32(const char* p) {
    std::uint32_t v = 0;
    std::memcpy(&v, p, 4);  // little-endian, as Windows is
    return v;
}

void write32(char* p, std::uint32_t v) {
    std::memcpy(p, &v, 4);
}

// The resource as written by our tool: a 44-byte header, then the samples.
// Repeating the samples gives one sound that plays the chime `times` times.
std::string repeated(std::string_view wave, int times) {
    constexpr std::size_t kHeader = 44;
    if (wave.size() <= kHeader || wave.substr(0, 4) != "RIFF" || wave.substr(36, 4) != "data")
        return {};
    const std::string_view samples = wave.substr(kHeader, read32(wave.data() + 40));
    std::string out(wave.substr(0, kHeader));
    for (int i = 0; i < times; ++i) out += samples;
    const auto data = static_cast<std::uint32_t>(out.size() - kHeader);
    write32(out.data() + 40, data);
    write32(out.data() + 4, data + 36);
    return out;
}

}  // namespace

bool ChimePlayer::play(int times) {
    stop();
    wave_ = repeated(chime_resource(), times);
    if (wave_.empty()) return false;
    return PlaySoundW(reinterpret_cast<LPCWSTR>(wave_.data()), nullptr,
                      SND_MEMORY | SND_ASYNC | SND_NODEFAULT) != FALSE;
}

void ChimePlayer::stop() {
    if (wave_.empty()) return;
    PlaySoundW(nullptr, nullptr, 0);  // returns once the sound has stopped
    wave_.clear();
}

}  // namespace quorvel::win32
