// Alarm sound through MCI's "mpegvideo" device: open the file, play it with
// a notification to a message-only window, and on each completed play seek
// back and play again until the count is used up. Everything happens on the
// thread that owns the object, inside whatever message loop it runs; no call
// waits for the sound.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <string>

#include "platform/services.h"
#include "platform/win32/base/handles.h"

namespace quorvel::win32 {

struct MciDeviceTraits {
    static void close(MCIDEVICEID id);
};
using UniqueMciDevice = Unique<MCIDEVICEID, MciDeviceTraits>;

class MciSound final : public platform::Sound {
  public:
    // What the last play() did; for diagnostics and tests.
    enum class Outcome {
        none,            // no play yet, or play count below 1, or empty path
        unreadable,      // missing, a folder, locked, or a read error
        not_mpeg_audio,  // no MPEG audio at the start (after any ID3v2 tag)
        open_failed,     // MCI_OPEN refused: no decoder, no audio device
        play_failed,
        started,
    };

    // Not copyable: it owns its window and device.
    MciSound();
    ~MciSound() override;

    void play(const std::string& utf8_path, int times) override;
    void stop_all() override;

    bool active() const { return static_cast<bool>(device_); }
    Outcome last_outcome() const { return outcome_; }
    MCIERROR last_mci_error() const { return mci_error_; }
    // The element name handed to MCI by the last play that got that far.
    const std::wstring& last_element() const { return element_; }

  private:
    static LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void on_notify(WPARAM flags, LPARAM device);
    bool start_play();

    UniqueWindow window_;
    UniqueMciDevice device_;
    int plays_left_ = 0;
    Outcome outcome_ = Outcome::none;
    MCIERROR mci_error_ = 0;
    std::wstring element_;
};

}  // namespace quorvel::win32
