// The sound room: the alarm sound on a thread of its own (this file), the
// wave player that streams the system's MP3 decoder to the wave output with
// gapless plays, the MCI player it falls back on, the built-in chime for
// chosen music that cannot play, and the music file's path forms and probe.
// It may use base/ (handle owners, texts, helper windows)
// and the portable MP3 reader in mp3/; never forms/, skin/ or services/.
// Opening an MP3 builds a decoder and may wait on a slow disk or a share
// that does not answer, which on the UI thread would hold up the alarm box
// and freeze the window: here play() only hands the request over, and the
// UI thread never waits on this thread for more than about a second.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/services.h"
#include "platform/win32/base/handles.h"

namespace quorvel::win32 {

class SoundThread final : public platform::Sound {
  public:
    // Makes the player the thread plays with, on the thread itself: its
    // windows must belong to the thread that pumps their messages.
    using PlayerMaker = std::unique_ptr<platform::Sound> (*)();
    static std::unique_ptr<platform::Sound> alarm_player();

    explicit SoundThread(PlayerMaker make_player = &alarm_player);
    SoundThread(const SoundThread&) = delete;
    SoundThread& operator=(const SoundThread&) = delete;
    // Waits about a second for the thread to end; a thread stuck in a call
    // that does not return is left to the end of the process.
    ~SoundThread() override;

    void play(const std::string& path, int times) override;
    // Returns once the sound has stopped, or after about a second.
    void stop_all() override;

  private:
    struct Request {
        enum class Kind { play, stop, quit } kind;
        std::string path;
        int times = 0;
    };
    // What the caller and the thread share; the thread keeps it alive should
    // it outlive this object.
    struct Shared {
        std::mutex mutex;
        std::condition_variable done_changed;
        std::deque<Request> queue;
        unsigned long sent = 0, done = 0;
        UniqueKernelHandle wake;  // auto-reset event: the queue has news
    };
    static void run(std::shared_ptr<Shared> shared, PlayerMaker make_player);
    // Runs the queued requests; false once one asked the thread to end.
    static bool serve(Shared& shared, platform::Sound& sound);
    // True when the request was carried out within `patience`.
    bool send(Request r, std::chrono::milliseconds patience);

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
    bool stuck_ = false;  // a wait ran out: the thread is busy elsewhere
};

}  // namespace quorvel::win32
