// Alarm sound through MCI's "mpegvideo" device: open the file, play it with
// a notification to a message-only window, and on each completed play seek
// back and play again until the count is used up. Everything happens on the
// thread that owns the object, inside whatever message loop it runs; no call
// waits for the sound.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/services.h"
#include "platform/win32/base/handles.h"

namespace quorvel::win32 {

struct MciDeviceTraits {
    static void close(MCIDEVICEID id);
};
using UniqueMciDevice = Unique<MCIDEVICEID, MciDeviceTraits>;

namespace mp3 {

// The whole size (header, body, footer) of the ID3v2 tag that `head`, the
// first ten or more bytes of a file, starts with; 0 when there is none.
std::uint64_t id3v2_tag_size(std::string_view head);

// Whether `bytes` starts with an MPEG audio frame header (layer I to III,
// MPEG 1, 2 or 2.5) whose whole frame is there, followed by a second
// matching header when `bytes` holds more than that one frame. Free-format
// frames (no bitrate in the header) are taken on their header alone.
bool starts_with_mpeg_audio(std::string_view bytes);

struct FrameFormat {
    int version;  // 3 = MPEG 1, 2 = MPEG 2, 0 = MPEG 2.5
    int layer;    // 1, 2 or 3
    int sample_rate;
    int channels;
    long bitrate;        // bit/s, 0 for free format
    std::size_t length;  // bytes, 0 for free format
};
// The format of the MPEG audio frame whose header starts `bytes`.
std::optional<FrameFormat> frame_format(std::string_view bytes);

}  // namespace mp3

// A path in the forms the file functions and MCI take.
struct PathForms {
    std::wstring full;        // GetFullPathNameW of the path
    std::wstring extended;    // "\\?\" or "\\?\UNC\" form, for the file functions
    std::wstring short_form;  // 8.3 form without prefix, or empty if none
};
PathForms path_forms(const std::wstring& path);
// The name MCI is given: the full path when it fits MAX_PATH, else its 8.3
// form when that fits, else the extended form.
const std::wstring& element_name(const PathForms& forms);

enum class FileKind { unreadable, other, mpeg_audio };
struct MusicFile {
    FileKind kind;
    std::uint64_t audio_start;  // offset of the first frame, for mpeg_audio
};
// A file is taken for MPEG audio when an MPEG audio frame starts it or
// directly follows its ID3v2 tag; `extended` is the path's extended form.
MusicFile probe_music(const std::wstring& extended);

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

    MciSound();
    MciSound(const MciSound&) = delete;
    MciSound& operator=(const MciSound&) = delete;
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
