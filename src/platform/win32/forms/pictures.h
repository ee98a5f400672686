// The program's embedded pictures, decoded once and kept for its lifetime.
// It lives inside the COM apartment of the UI thread.
#pragma once

#include <windows.h>

#include <wincodec.h>

#include <array>

#include "platform/win32/base/com.h"
#include "platform/win32/base/handles.h"
#include "ui/design.h"

namespace quorvel::win32 {

struct Bitmap {
    HBITMAP handle = nullptr;  // 32 bpp, owned by the store
    int width = 0;
    int height = 0;
};

class PictureStore {
  public:
    explicit PictureStore(HINSTANCE instance) : instance_(instance) {}
    PictureStore(const PictureStore&) = delete;
    PictureStore& operator=(const PictureStore&) = delete;

    // An empty Bitmap when the picture is missing or cannot be decoded.
    Bitmap bitmap(ui::Picture p);
    // The program icon at the given square size.
    HICON icon(int size);

  private:
    struct Slot {
        bool loaded = false;
        UniqueBitmap owned;
        Bitmap bitmap;
    };
    HINSTANCE instance_;
    ComPtr<IWICImagingFactory> factory_;
    bool factory_failed_ = false;
    std::array<Slot, static_cast<std::size_t>(ui::Picture::count_)> slots_{};
    UniqueIcon icon16_;
    UniqueIcon icon_other_;
    int other_size_ = 0;
};

}  // namespace quorvel::win32
