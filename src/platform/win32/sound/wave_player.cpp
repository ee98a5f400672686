#include "platform/win32/sound/wave_player.h"

#include <cstring>

#include "platform/win32/base/helper_window.h"
#include "platform/win32/base/text.h"
#include "platform/win32/sound/music_file.h"

namespace quorvel::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"QuorvelWaveNotify";
constexpr DWORD kRead = 4096;               // file bytes read at a time
constexpr std::size_t kMaxInput = 1 << 16;  // more than any frame: beyond, the data is junk

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
    const mp3::MusicFile music = probe_music_file(forms.extended);
    if (music.kind != mp3::FileKind::mpeg_audio) {
        outcome_ = music.kind == mp3::FileKind::unreadable ? Outcome::unreadable : Outcome::not_mp3;
        return;
    }
    file_ = open_music(forms.extended);
    audio_start_ = music.audio_start;
    std::string head;
    if (!file_ || !read_at(file_.get(), audio_start_, kRead, head) || head.size() < 4) {
        close_stream();
        outcome_ = Outcome::unreadable;
        return;
    }
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
    const mp3::Gapless gapless = mp3::read_gapless(head, *format);
    audio_start_ += gapless.info_length;
    window_bytes_ = mp3::byte_window(gapless, format->channels);
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
        outcome_ = Outcome::no_sound;
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
    return filled != 0 && queue(buffer, pcm.data(), filled);
}

bool WaveSound::queue(WAVEHDR& buffer, BYTE* pcm, std::size_t filled) {
    buffer = {};
    buffer.lpData = reinterpret_cast<LPSTR>(pcm);
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
    const mp3::Span kept = mp3::music_within(window_bytes_, played_bytes_, n);
    played_bytes_ += n;
    if (kept.length != 0 && kept.offset != 0) {
        std::memmove(decoded, decoded + kept.offset, static_cast<std::size_t>(kept.length));
    }
    return static_cast<std::size_t>(kept.length);
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
