#include "platform/win32/sound/wave_player.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/win32/base/helper_window.h"
#include "platform/win32/base/text.h"

namespace quorvel::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"QuorvelWaveNotify";
constexpr DWORD kRead = 4096;               // file bytes read at a time
constexpr std::size_t kMaxInput = 1 << 16;  // more than any frame: beyond, the data is junk

HANDLE open_for_reading(const std::wstring& extended) {
    // Shared for deletion: the user may delete or replace the file while it plays.
    return CreateFileW(extended.c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// What the encoder's info frame (Xing/Info, with LAME's extension) says of
// the samples it added: encoders put silence before and after the music to
// fill whole frames, and decoders add a fixed delay of their own.
struct Gapless {
    std::size_t info_length = 0;  // the info frame itself, which holds no sound
    std::uint64_t skip = 0;       // samples to drop at the start of each play
    std::uint64_t keep = 0;       // samples of music after those, 0 when unknown
};

Gapless read_gapless(std::string_view frame, const mp3::FrameFormat& f) {
    constexpr std::uint64_t kDecoderDelay = 529;
    const std::size_t side_info =
        f.version == 3 ? (f.channels == 1 ? 17 : 32) : (f.channels == 1 ? 9 : 17);
    const std::size_t at = 4 + side_info;
    if (f.length == 0 || frame.size() < at + 8) return {};
    const std::string_view tag = frame.substr(at, 4);
    if (tag != "Xing" && tag != "Info") return {};
    const auto u8 = [&](std::size_t i) { return static_cast<unsigned char>(frame[i]); };
    const auto u32 = [&](std::size_t i) {
        return std::uint32_t{u8(i)} << 24 | std::uint32_t{u8(i + 1)} << 16 |
               std::uint32_t{u8(i + 2)} << 8 | u8(i + 3);
    };
    Gapless g;
    g.info_length = f.length;
    const std::uint32_t flags = u32(at + 4);
    std::size_t p = at + 8;
    std::uint64_t frames = 0;
    if (flags & 1) {
        if (frame.size() < p + 4) return g;
        frames = u32(p);
        p += 4;
    }
    p += (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
    if (frame.size() < p + 24 || frame.substr(p, 4) != "LAME") return g;
    const std::uint64_t delay = std::uint64_t{u8(p + 21)} << 4 | u8(p + 22) >> 4;
    const std::uint64_t padding = std::uint64_t{u8(p + 22) & 0x0Fu} << 8 | u8(p + 23);
    const std::uint64_t per_frame = f.version == 3 ? 1152 : 576;
    g.skip = delay + kDecoderDelay;
    if (frames * per_frame > delay + padding) g.keep = frames * per_frame - delay - padding;
    return g;
}

bool seek(HANDLE file, std::uint64_t offset) {
    LARGE_INTEGER pos{};
    pos.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, pos, nullptr, FILE_BEGIN) != 0;
}

}  // namespace

WaveSound::WaveSound() : window_(helper_window(kWindowClass, &WaveSound::window_proc, this)) {}

WaveSound::~WaveSound() {
    stop_all();
}

LRESULT CALLBACK WaveSound::window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == MM_WOM_DONE) {
        auto* self = owner_of<WaveSound>(hwnd);
        if (self && self->out_ && reinterpret_cast<HWAVEOUT>(wp) == self->out_)
            self->on_done(reinterpret_cast<WAVEHDR*>(lp));
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void WaveSound::play(const std::string& utf8_path, int times) {
    stop_all();
    outcome_ = Outcome::none;
    if (times < 1 || utf8_path.empty() || !window_) return;

    const PathForms forms = path_forms(widen(utf8_path));
    const MusicFile music = probe_music(forms.extended);
    if (music.kind != FileKind::mpeg_audio) {
        outcome_ = music.kind == FileKind::unreadable ? Outcome::unreadable : Outcome::not_mp3;
        return;
    }
    HANDLE raw = open_for_reading(forms.extended);
    if (raw == INVALID_HANDLE_VALUE) {
        outcome_ = Outcome::unreadable;
        return;
    }
    file_.reset(raw);
    audio_start_ = music.audio_start;
    std::string head(kRead, '\0');
    DWORD got = 0;
    if (!seek(file_.get(), audio_start_) ||
        !ReadFile(file_.get(), head.data(), static_cast<DWORD>(head.size()), &got, nullptr) ||
        got < 4) {
        close_stream();
        outcome_ = Outcome::unreadable;
        return;
    }
    head.resize(got);
    const auto format = mp3::frame_format(head);
    if (!format || format->layer != 3 || !open_stream(*format)) {
        const bool codec_refused = acm_ == nullptr;
        close_stream();
        if (codec_refused) {
            outcome_ = Outcome::handed_on;
            fallback_.play(utf8_path, times);
        } else {
            outcome_ = Outcome::no_output;
        }
        return;
    }
    const Gapless gapless = read_gapless(head, *format);
    audio_start_ += gapless.info_length;
    const std::uint64_t frame_bytes = static_cast<std::uint64_t>(format->channels) * 2;
    skip_bytes_ = gapless.skip * frame_bytes;
    keep_bytes_ = gapless.keep * frame_bytes;
    if (!seek(file_.get(), audio_start_)) {
        close_stream();
        outcome_ = Outcome::unreadable;
        return;
    }
    plays_left_ = times;
    restart_ = true;
    for (WAVEHDR& h : headers_)
        if (!refill(h)) break;
    if (queued_ == 0) {
        close_stream();  // the file holds no sound the codec could decode
        return;
    }
    outcome_ = Outcome::started;
}

bool WaveSound::open_stream(const mp3::FrameFormat& f) {
    MPEGLAYER3WAVEFORMAT mp3{};
    mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.wfx.nChannels = static_cast<WORD>(f.channels);
    mp3.wfx.nSamplesPerSec = static_cast<DWORD>(f.sample_rate);
    mp3.wfx.nAvgBytesPerSec = static_cast<DWORD>(f.bitrate ? f.bitrate / 8 : 16000);
    mp3.wfx.nBlockAlign = 1;
    mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    mp3.wID = MPEGLAYER3_ID_MPEG;
    mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
    mp3.nBlockSize = static_cast<WORD>(f.length ? f.length : 418);
    mp3.nFramesPerBlock = 1;
    mp3.nCodecDelay = 1393;

    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = mp3.wfx.nChannels;
    pcm.nSamplesPerSec = mp3.wfx.nSamplesPerSec;
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = static_cast<WORD>(pcm.nChannels * 2);
    pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;

    if (acmStreamOpen(&acm_, nullptr, &mp3.wfx, &pcm, nullptr, 0, 0, 0) != 0) {
        acm_ = nullptr;
        return false;
    }
    if (waveOutOpen(&out_, WAVE_MAPPER, &pcm, reinterpret_cast<DWORD_PTR>(window_.get()), 0,
                    CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
        out_ = nullptr;
        return false;
    }
    const std::size_t quarter_second = (pcm.nAvgBytesPerSec / 4) & ~std::size_t{3};
    for (std::size_t i = 0; i < kBuffers; ++i) {
        pcm_[i].assign(quarter_second, 0);
        headers_[i] = {};
    }
    return true;
}

bool WaveSound::refill(WAVEHDR& buffer) {
    const std::size_t i = static_cast<std::size_t>(&buffer - headers_.data());
    std::vector<BYTE>& pcm = pcm_[i];
    std::size_t filled = 0;
    bool at_end = false;  // of the file, in this play
    while (plays_left_ > 0) {
        if (!at_end && input_.size() < kRead) at_end = !read_more();
        if (input_.empty() && at_end) {
            // The play is over; the next one continues the same stream.
            if (--plays_left_ == 0 || !seek(file_.get(), audio_start_)) {
                plays_left_ = 0;
                break;
            }
            at_end = false;
            restart_ = true;
            continue;
        }
        // As much input as the room left in the buffer takes once decoded.
        DWORD take = static_cast<DWORD>(input_.size());
        DWORD room = 0;
        while (take > 0 && (acmStreamSize(acm_, take, &room, ACM_STREAMSIZEF_SOURCE) != 0 ||
                            room > pcm.size() - filled))
            take /= 2;
        if (take == 0) break;  // the buffer is full

        ACMSTREAMHEADER h{};
        h.cbStruct = sizeof h;
        h.pbSrc = input_.data();
        h.cbSrcLength = take;
        h.pbDst = pcm.data() + filled;
        h.cbDstLength = static_cast<DWORD>(pcm.size() - filled);
        bool converted = acmStreamPrepareHeader(acm_, &h, 0) == 0;
        if (converted) {
            const DWORD flags = ACM_STREAMCONVERTF_BLOCKALIGN |
                                (restart_ ? ACM_STREAMCONVERTF_START : 0) |
                                (at_end && take == input_.size() ? ACM_STREAMCONVERTF_END : 0);
            converted = acmStreamConvert(acm_, &h, flags) == 0;
            acmStreamUnprepareHeader(acm_, &h, 0);
        }
        if (!converted) {
            plays_left_ = 0;  // the codec gave up on this data: end as if it ended
            break;
        }
        if (restart_) played_bytes_ = 0;
        restart_ = false;
        input_.erase(input_.begin(), input_.begin() + h.cbSrcLengthUsed);
        filled += keep_music(pcm.data() + filled, h.cbDstLengthUsed);
        if (h.cbSrcLengthUsed == 0 && h.cbDstLengthUsed == 0) {
            // Part of a frame: read on, unless what is held can never be one.
            if (at_end || input_.size() >= kMaxInput) input_.clear();
            if (!at_end) at_end = !read_more();
        }
    }
    if (filled == 0) return false;
    buffer = {};
    buffer.lpData = reinterpret_cast<LPSTR>(pcm.data());
    buffer.dwBufferLength = static_cast<DWORD>(filled);
    if (waveOutPrepareHeader(out_, &buffer, sizeof buffer) != MMSYSERR_NOERROR) return false;
    if (waveOutWrite(out_, &buffer, sizeof buffer) != MMSYSERR_NOERROR) {
        waveOutUnprepareHeader(out_, &buffer, sizeof buffer);
        return false;
    }
    ++queued_;
    return true;
}

bool WaveSound::read_more() {
    const std::size_t old = input_.size();
    input_.resize(old + kRead);
    DWORD got = 0;
    if (!ReadFile(file_.get(), input_.data() + old, kRead, &got, nullptr)) got = 0;
    input_.resize(old + got);
    return got != 0;
}

std::size_t WaveSound::keep_music(BYTE* decoded, std::size_t n) {
    // In the play's own byte positions: [played, played + n) against the
    // music's [skip, skip + keep).
    const std::uint64_t from = played_bytes_, to = played_bytes_ + n;
    played_bytes_ = to;
    const std::uint64_t begin = std::max(from, skip_bytes_);
    const std::uint64_t end = keep_bytes_ ? std::min(to, skip_bytes_ + keep_bytes_) : to;
    if (begin >= end) return 0;
    if (begin > from) std::memmove(decoded, decoded + (begin - from), end - begin);
    return static_cast<std::size_t>(end - begin);
}

void WaveSound::on_done(WAVEHDR* buffer) {
    if (buffer < headers_.data() || buffer >= headers_.data() + kBuffers) return;
    --queued_;
    waveOutUnprepareHeader(out_, buffer, sizeof *buffer);
    if (!refill(*buffer) && queued_ == 0) close_stream();
}

void WaveSound::close_stream() {
    if (out_) {
        waveOutReset(out_);
        for (WAVEHDR& h : headers_)
            if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(out_, &h, sizeof h);
        waveOutClose(out_);
        out_ = nullptr;
        // Done notices already queued for the closed output must not reach
        // the next one.
        MSG msg;
        while (PeekMessageW(&msg, window_.get(), MM_WOM_DONE, MM_WOM_DONE, PM_REMOVE)) {
        }
    }
    if (acm_) {
        acmStreamClose(acm_, 0);
        acm_ = nullptr;
    }
    file_.reset();
    input_.clear();
    queued_ = 0;
    plays_left_ = 0;
}

void WaveSound::stop_all() {
    close_stream();
    fallback_.stop_all();
}

}  // namespace quorvel::win32
