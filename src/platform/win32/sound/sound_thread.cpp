#include "platform/win32/sound/sound_thread.h"

#include <objbase.h>

#include <utility>

#include "platform/win32/sound/wave_player.h"

namespace quorvel::win32 {

namespace {
constexpr UINT kWake = WM_APP;
}

SoundThread::SoundThread() : thread_([this] { run(); }) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return thread_id_ != 0; });
}

SoundThread::~SoundThread() {
    send({Request::Kind::quit, {}, 0}, false);
    thread_.join();
}

void SoundThread::play(const std::string& path, int times) {
    send({Request::Kind::play, path, times}, false);
}

void SoundThread::stop_all() {
    send({Request::Kind::stop, {}, 0}, true);
}

void SoundThread::send(Request r, bool wait) {
    std::unique_lock lock(mutex_);
    queue_.push_back(std::move(r));
    const unsigned long ticket = ++sent_;
    // The thread drains the whole queue on each wake, so a lost wake-up
    // (a full queue) only delays a request until the next one.
    PostThreadMessageW(thread_id_, kWake, 0, 0);
    if (wait) changed_.wait(lock, [&] { return done_ >= ticket; });
}

void SoundThread::run() {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        WaveSound sound;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread its queue
        {
            std::lock_guard lock(mutex_);
            thread_id_ = GetCurrentThreadId();
        }
        changed_.notify_all();
        bool quit = false;
        while (!quit && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.hwnd != nullptr || msg.message != kWake) {
                DispatchMessageW(&msg);  // MCI's notifications to the player's window
                continue;
            }
            for (;;) {
                Request r;
                {
                    std::lock_guard lock(mutex_);
                    if (queue_.empty()) break;
                    r = std::move(queue_.front());
                    queue_.pop_front();
                }
                if (r.kind == Request::Kind::play) sound.play(r.path, r.times);
                if (r.kind == Request::Kind::stop) sound.stop_all();
                quit = quit || r.kind == Request::Kind::quit;
                {
                    std::lock_guard lock(mutex_);
                    ++done_;
                }
                changed_.notify_all();
            }
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace quorvel::win32
