#include "platform/win32/sound/sound_thread.h"

#include <utility>

#include "platform/win32/base/com.h"
#include "platform/win32/sound/alarm_player.h"

namespace quorvel::win32 {

namespace {
constexpr std::chrono::milliseconds kPatience{1000};
}

std::unique_ptr<platform::Sound> SoundThread::alarm_player() {
    return std::make_unique<AlarmPlayer>();
}

SoundThread::SoundThread(PlayerMaker make_player) : shared_(std::make_shared<Shared>()) {
    shared_->wake.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    thread_ = std::thread(&SoundThread::run, shared_, make_player);
}

SoundThread::~SoundThread() {
    // Once a wait has run out, the thread is stuck: no second wait at exit.
    if (send({Request::Kind::quit, {}, 0}, stuck_ ? std::chrono::milliseconds{0} : kPatience)) {
        thread_.join();
    } else {
        // Ending it from outside could leave a lock it holds taken; the end
        // of the process ends it instead, with the windows already gone.
        thread_.detach();
    }
}

void SoundThread::play(const std::string& path, int times) {
    send({Request::Kind::play, path, times}, std::chrono::milliseconds{0});
}

void SoundThread::stop_all() {
    if (!send({Request::Kind::stop, {}, 0}, kPatience)) stuck_ = true;
}

bool SoundThread::send(Request r, std::chrono::milliseconds patience) {
    std::unique_lock lock(shared_->mutex);
    shared_->queue.push_back(std::move(r));
    const unsigned long ticket = ++shared_->sent;
    // An event, not a thread message: a modal loop on the thread cannot
    // drop it, and it stays set until the thread looks.
    SetEvent(shared_->wake.get());
    if (patience.count() == 0) return shared_->done >= ticket;
    return shared_->done_changed.wait_for(lock, patience, [&] { return shared_->done >= ticket; });
}

bool SoundThread::serve(Shared& shared, platform::Sound& sound) {
    bool quit = false;
    for (;;) {
        Request r;
        {
            std::lock_guard lock(shared.mutex);
            if (shared.queue.empty()) break;
            r = std::move(shared.queue.front());
            shared.queue.pop_front();
        }
        if (r.kind == Request::Kind::play) sound.play(r.path, r.times);
        if (r.kind == Request::Kind::stop) sound.stop_all();
        quit = quit || r.kind == Request::Kind::quit;
        {
            std::lock_guard lock(shared.mutex);
            ++shared.done;
        }
        shared.done_changed.notify_all();
    }
    return !quit;
}

void SoundThread::run(std::shared_ptr<Shared> shared, PlayerMaker make_player) {
    const ComApartment com;
    {
        const std::unique_ptr<platform::Sound> sound = make_player();
        const HANDLE wake = shared->wake.get();
        bool running = true;
        while (running) {
            // Wakes for a request or for a message: the players' windows
            // carry the wave output's and MCI's notifications.
            const DWORD woke =
                MsgWaitForMultipleObjectsEx(1, &wake, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            if (woke == WAIT_OBJECT_0) {
                running = serve(*shared, *sound);
            } else if (woke == WAIT_OBJECT_0 + 1) {
                MSG msg;
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            } else {
                running = false;  // the event is gone: nothing could reach the thread
            }
        }
    }
}

}  // namespace quorvel::win32
