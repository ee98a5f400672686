#include "platform/win32/sound/mci_player.h"

#include "platform/win32/base/helper_window.h"
#include "platform/win32/base/text.h"
#include "platform/win32/sound/music_file.h"

namespace quorvel::win32 {

void MciDeviceTraits::close(MCIDEVICEID id) {
    MCI_GENERIC_PARMS params{};
    mciSendCommandW(id, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&params));
}

namespace {
constexpr wchar_t kWindowClass[] = L"QuorvelSoundNotify";
}  // namespace

// Without the window there is nowhere to be told a play has ended: play()
// then stays silent.
MciSound::MciSound() : window_(helper_window(kWindowClass, &MciSound::window_proc, this)) {}

MciSound::~MciSound() {
    stop_all();
}

LRESULT CALLBACK MciSound::window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != MM_MCINOTIFY) return DefWindowProcW(hwnd, msg, wp, lp);
    if (auto* self = owner_of<MciSound>(hwnd)) self->on_notify(wp, lp);
    return 0;
}

void MciSound::play(const std::string& utf8_path, int times) {
    stop_all();
    outcome_ = Outcome::none;
    mci_error_ = 0;
    element_.clear();
    if (times < 1 || utf8_path.empty() || !window_) return;

    const PathForms forms = path_forms(widen(utf8_path));
    switch (probe_music_file(forms.extended).kind) {
        case mp3::FileKind::unreadable:
            outcome_ = Outcome::unreadable;
            return;
        case mp3::FileKind::other:
            outcome_ = Outcome::not_mpeg_audio;
            return;
        case mp3::FileKind::mpeg_audio:
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
