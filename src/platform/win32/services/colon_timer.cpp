#include "platform/win32/services/system_services.h"

#include "platform/win32/base/helper_window.h"

namespace quorvel::win32 {

namespace {
constexpr UINT_PTR colon_timer_id = 1;
}

MessageTimer::MessageTimer() : window_(helper_window(L"QuorvelTimer", proc, this)) {}

void MessageTimer::start(int milliseconds, std::function<void()> due) {
    due_ = std::move(due);
    SetTimer(window_.get(), colon_timer_id, static_cast<UINT>(milliseconds), nullptr);
}

void MessageTimer::cancel() {
    KillTimer(window_.get(), colon_timer_id);
    due_ = nullptr;
}

LRESULT CALLBACK MessageTimer::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == colon_timer_id) {
        auto* self = owner_of<MessageTimer>(hwnd);
        KillTimer(hwnd, colon_timer_id);
        if (self && self->due_) {
            auto due = std::move(self->due_);
            self->due_ = nullptr;
            due();
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace quorvel::win32
