#include "platform/win32/sound/mci_player.h"

#include <array>
#include <utility>

#include "platform/win32/base/helper_window.h"
#include "platform/win32/base/text.h"

namespace quorvel::win32 {

void MciDeviceTraits::close(MCIDEVICEID id) {
    MCI_GENERIC_PARMS params{};
    mciSendCommandW(id, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&params));
}

namespace mp3 {

std::uint64_t id3v2_tag_size(std::string_view head) {
    if (head.size() < 10 || head.substr(0, 3) != "ID3") return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(head[i]); };
    // Versions 2.2 to 2.4; 0xFF never appears in version or revision.
    if (byte(3) < 2 || byte(3) > 4 || byte(4) == 0xFF) return 0;
    std::uint64_t body = 0;
    for (std::size_t i = 6; i < 10; ++i) {
        if (byte(i) & 0x80) return 0;  // the size is "synchsafe": 7 bits a byte
        body = body << 7 | byte(i);
    }
    const bool footer = byte(3) == 4 && (byte(5) & 0x10);
    return 10 + body + (footer ? 10 : 0);
}

namespace {

struct FrameHeader {
    int version;  // 3 = MPEG 1, 2 = MPEG 2, 0 = MPEG 2.5
    int layer;    // 1, 2 or 3
    int sample_rate;
    std::size_t length;  // 0 for free format
    int channels;
    long bitrate;  // bit/s, 0 for free format
};

bool parse_header(std::string_view bytes, FrameHeader& out) {
    if (bytes.size() < 4) return false;
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (b(0) != 0xFF || (b(1) & 0xE0) != 0xE0) return false;
    const int version = (b(1) >> 3) & 3;
    const int layer_bits = (b(1) >> 1) & 3;
    const int bitrate_index = b(2) >> 4;
    const int rate_index = (b(2) >> 2) & 3;
    const int padding = (b(2) >> 1) & 1;
    if (version == 1 || layer_bits == 0 || bitrate_index == 15 || rate_index == 3 ||
        (b(3) & 3) == 2) {
        return false;  // reserved values: not a frame header
    }
    const int layer = 4 - layer_bits;

    static constexpr std::array<std::array<int, 3>, 4> kRates{{
        {11025, 12000, 8000},   // MPEG 2.5
        {0, 0, 0},              // reserved
        {22050, 24000, 16000},  // MPEG 2
        {44100, 48000, 32000},  // MPEG 1
    }};
    // kbit/s by [MPEG 1 ? layer - 1 : 3 + (layer == 1 ? 0 : 1)][index].
    static constexpr std::array<std::array<int, 15>, 5> kBitrates{{
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
    }};
    const std::size_t row =
        version == 3 ? static_cast<std::size_t>(layer - 1) : (layer == 1 ? 3 : 4);
    const long bitrate = kBitrates[row][static_cast<std::size_t>(bitrate_index)] * 1000L;
    const long rate =
        kRates[static_cast<std::size_t>(version)][static_cast<std::size_t>(rate_index)];

    std::size_t length = 0;
    if (bitrate != 0) {
        if (layer == 1) {
            length = static_cast<std::size_t>((12 * bitrate / rate + padding) * 4);
        } else if (layer == 3 && version != 3) {
            length = static_cast<std::size_t>(72 * bitrate / rate + padding);
        } else {
            length = static_cast<std::size_t>(144 * bitrate / rate + padding);
        }
    }
    const int channels = (b(3) >> 6) == 3 ? 1 : 2;
    out = {version, layer, static_cast<int>(rate), length, channels, bitrate};
    return true;
}

}  // namespace

bool starts_with_mpeg_audio(std::string_view bytes) {
    FrameHeader first{};
    if (!parse_header(bytes, first)) return false;
    if (first.length == 0) return true;
    if (bytes.size() < first.length) return false;  // not even one whole frame
    if (bytes.size() == first.length) return true;
    FrameHeader second{};
    return parse_header(bytes.substr(first.length), second) && second.version == first.version &&
           second.layer == first.layer && second.sample_rate == first.sample_rate;
}

std::optional<FrameFormat> frame_format(std::string_view bytes) {
    FrameHeader h{};
    if (!parse_header(bytes, h)) return std::nullopt;
    return FrameFormat{h.version, h.layer, h.sample_rate, h.channels, h.bitrate, h.length};
}

}  // namespace mp3

namespace {

constexpr wchar_t kWindowClass[] = L"QuorvelSoundNotify";
constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t kExtendedUncPrefix[] = L"\\\\?\\UNC\\";

bool starts_with(const std::wstring& s, std::wstring_view prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

std::wstring full_path(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring out(needed, L'\0');
    const DWORD n = GetFullPathNameW(path.c_str(), needed, out.data(), nullptr);
    if (n == 0 || n >= needed) return path;
    out.resize(n);
    return out;
}

std::wstring without_extended_prefix(const std::wstring& path) {
    if (starts_with(path, kExtendedUncPrefix)) {
        return L"\\\\" + path.substr(std::wstring_view(kExtendedUncPrefix).size());
    }
    if (starts_with(path, kExtendedPrefix)) {
        return path.substr(std::wstring_view(kExtendedPrefix).size());
    }
    return path;
}

// GetShortPathNameW takes a long input only in extended form.
std::wstring short_path(const std::wstring& extended) {
    const DWORD needed = GetShortPathNameW(extended.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::wstring out(needed, L'\0');
    const DWORD n = GetShortPathNameW(extended.c_str(), out.data(), needed);
    if (n == 0 || n >= needed) return {};
    out.resize(n);
    return without_extended_prefix(out);
}

// Reads up to `count` bytes at `offset`; fewer at the end of the file.
bool read_at(HANDLE file, std::uint64_t offset, std::size_t count, std::string& out) {
    LARGE_INTEGER pos{};
    pos.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, pos, nullptr, FILE_BEGIN)) return false;
    out.assign(count, '\0');
    std::size_t got = 0;
    while (got < count) {
        DWORD n = 0;
        if (!ReadFile(file, out.data() + got, static_cast<DWORD>(count - got), &n, nullptr)) {
            return false;
        }
        if (n == 0) break;
        got += n;
    }
    out.resize(got);
    return true;
}

// A file is taken for MPEG audio when an MPEG audio frame starts it or
// directly follows its ID3v2 tag (zero padding after the tag allowed). That
// keeps WAV, text and other files with an .mp3 name silent, and a file cut
// inside its tag or first frame too; one cut later plays what it holds.
}  // namespace

MusicFile probe_music(const std::wstring& extended) {
    const auto kind = [](FileKind k) { return MusicFile{k, 0}; };
    HANDLE raw = CreateFileW(
        extended.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return kind(FileKind::unreadable);
    const UniqueKernelHandle file(raw);
    // A console or pipe (a name like "con.mp3" on older Windows) would block
    // the read; only files on disk are music.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return kind(FileKind::unreadable);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return kind(FileKind::unreadable);
    const auto file_size = static_cast<std::uint64_t>(size.QuadPart);

    std::string head;
    if (!read_at(file.get(), 0, 10, head)) return kind(FileKind::unreadable);
    const std::uint64_t tag = mp3::id3v2_tag_size(head);
    if (tag >= file_size) return kind(FileKind::other);

    // Taggers may pad beyond the size they declare; skip zeros up to 1 MiB.
    constexpr std::size_t kChunk = 8192;  // more than two of the longest frames
    std::uint64_t offset = tag;
    std::string bytes;
    while (tag != 0) {
        if (!read_at(file.get(), offset, kChunk, bytes)) return kind(FileKind::unreadable);
        const std::size_t nonzero = bytes.find_first_not_of('\0');
        if (nonzero != std::string::npos) {
            offset += nonzero;
            break;
        }
        offset += bytes.size();
        if (bytes.size() < kChunk || offset - tag > (1u << 20)) return kind(FileKind::other);
    }
    if (!read_at(file.get(), offset, kChunk, bytes)) return kind(FileKind::unreadable);
    if (!mp3::starts_with_mpeg_audio(bytes)) return kind(FileKind::other);
    return {FileKind::mpeg_audio, offset};
}

PathForms path_forms(const std::wstring& path) {
    PathForms forms;
    forms.full = full_path(path);
    if (starts_with(forms.full, kExtendedPrefix) || starts_with(forms.full, L"\\\\.\\")) {
        forms.extended = forms.full;
    } else if (starts_with(forms.full, L"\\\\")) {
        forms.extended = kExtendedUncPrefix + forms.full.substr(2);
    } else {
        forms.extended = kExtendedPrefix + forms.full;
    }
    forms.short_form = short_path(forms.extended);
    return forms;
}

// The mpegvideo driver hands the name on to DirectShow, where paths are
// bounded by MAX_PATH unless the process opts into long paths (Windows 10
// 1607 and later, by manifest and a system setting). The 8.3 form fits on
// every version wherever the volume keeps 8.3 names; the extended form is
// the last resort.
const std::wstring& element_name(const PathForms& forms) {
    if (forms.full.size() < MAX_PATH) return forms.full;
    if (!forms.short_form.empty() && forms.short_form.size() < MAX_PATH) return forms.short_form;
    return forms.extended;
}

// Without the window there is nowhere to be told a play has ended: play()
// then stays silent.
MciSound::MciSound() : window_(helper_window(kWindowClass, &MciSound::window_proc, this)) {}

MciSound::~MciSound() {
    stop_all();
}

LRESULT CALLBACK MciSound::window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == MM_MCINOTIFY) {
        if (auto* self = owner_of<MciSound>(hwnd)) {
            self->on_notify(wp, lp);
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void MciSound::play(const std::string& utf8_path, int times) {
    stop_all();
    outcome_ = Outcome::none;
    mci_error_ = 0;
    element_.clear();
    if (times < 1 || utf8_path.empty() || !window_) return;

    const PathForms forms = path_forms(widen(utf8_path));
    switch (probe_music(forms.extended).kind) {
        case FileKind::unreadable:
            outcome_ = Outcome::unreadable;
            return;
        case FileKind::other:
            outcome_ = Outcome::not_mpeg_audio;
            return;
        case FileKind::mpeg_audio:
            break;
    }

    element_ = element_name(forms);
    // The path travels as data in the structure: no command string is
    // parsed, so no file name can add a command.
    MCI_OPEN_PARMSW open{};
    open.lpstrDeviceType = L"mpegvideo";
    open.lpstrElementName = element_.c_str();
    mci_error_ = mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                                 reinterpret_cast<DWORD_PTR>(&open));
    if (mci_error_ != 0) {
        outcome_ = Outcome::open_failed;
        return;
    }
    device_.reset(open.wDeviceID);
    plays_left_ = times;
    if (!start_play()) {
        outcome_ = Outcome::play_failed;
        stop_all();
        return;
    }
    outcome_ = Outcome::started;
}

bool MciSound::start_play() {
    MCI_PLAY_PARMS params{};
    params.dwCallback = reinterpret_cast<DWORD_PTR>(window_.get());
    mci_error_ =
        mciSendCommandW(device_.get(), MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&params));
    return mci_error_ == 0;
}

void MciSound::on_notify(WPARAM flags, LPARAM device) {
    // Windows names the device; Wine's mpegvideo driver leaves the name 0.
    // As only one device is open at a time and stop_all drains what was
    // queued for the one before, an unnamed notification can only be ours.
    constexpr MCIDEVICEID kUnnamedDevice = 0;
    const auto id = static_cast<MCIDEVICEID>(device);
    if (!device_ || (id != device_.get() && id != kUnnamedDevice)) return;
    // Aborted and superseded come from our own commands; only a finished or
    // failed play moves on.
    if (flags == MCI_NOTIFY_FAILURE) {
        stop_all();
        return;
    }
    if (flags != MCI_NOTIFY_SUCCESSFUL) return;
    if (--plays_left_ <= 0) {
        stop_all();
        return;
    }
    MCI_SEEK_PARMS seek{};
    mci_error_ = mciSendCommandW(device_.get(), MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT,
                                 reinterpret_cast<DWORD_PTR>(&seek));
    if (mci_error_ != 0 || !start_play()) stop_all();
}

void MciSound::stop_all() {
    plays_left_ = 0;
    if (!device_) return;
    device_.reset();
    // A notification already queued for the closed device must not reach
    // the next one, which may get the same device ID.
    MSG msg;
    while (PeekMessageW(&msg, window_.get(), MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE)) {
    }
}

}  // namespace quorvel::win32
