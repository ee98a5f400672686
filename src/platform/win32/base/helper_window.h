// Hidden windows of the program's own that only receive messages for one
// object: timers, sound notifications, the notification-area icon.
#pragma once

#include <windows.h>

#include "platform/win32/base/handles.h"

namespace quorvel::win32 {

// Registers `class_name` with `proc` (again harmlessly), creates the window
// (message-only, or a hidden top-level one where the shell must find it) and
// keeps `owner` in it for owner_of.
UniqueWindow helper_window(const wchar_t* class_name, WNDPROC proc, void* owner,
                           bool message_only = true);

template <class T>
T* owner_of(HWND window) {
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace quorvel::win32
