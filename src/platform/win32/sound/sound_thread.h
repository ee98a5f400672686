// The alarm sound on a thread of its own. Opening an MP3 builds a decoding
// graph, which can take a noticeable part of a second; on the UI thread that
// would hold up the alarm box and freeze the window. Here play() only hands
// the request over, and the thread's own message loop carries the plays.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/services.h"

namespace quorvel::win32 {

class SoundThread final : public platform::Sound {
  public:
    SoundThread();
    SoundThread(const SoundThread&) = delete;
    SoundThread& operator=(const SoundThread&) = delete;
    ~SoundThread() override;

    void play(const std::string& path, int times) override;
    // Returns once the sound has stopped.
    void stop_all() override;

  private:
    struct Request {
        enum class Kind { play, stop, quit } kind;
        std::string path;
        int times = 0;
    };
    void send(Request r, bool wait);
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Request> queue_;
    unsigned long sent_ = 0, done_ = 0;
    DWORD thread_id_ = 0;  // set once the thread has its message queue
    std::thread thread_;
};

}  // namespace quorvel::win32
