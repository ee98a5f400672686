// The program's embedded pictures, decoded once and kept for its lifetime.
// It lives inside the COM apartment of the UI thread.
#pragma once

#include <windows.h>

#include <wincodec.h>

#include <array>
#include <map>
#include <utility>

#include "platform/win32/base/com.h"
#include "platform/win32/base/handles.h"
#include "ui/design.h"
#include "ui/scale.h"

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
    // The picture at a display scale, made once per scale.
    Bitmap bitmap(ui::Picture p, const ui::Scale& scale);
    // The program icon at the given square size, kept while the store lives
    // (the notification area may still show it).
    HICON icon(int size);

  private:
    struct Slot {
        bool loaded = false;
        UniqueBitmap owned;
        Bitmap bitmap;
    };
    void load(int resource, Slot& slot);
    HINSTANCE instance_;
    ComPtr<IWICImagingFactory> factory_;
    bool factory_failed_ = false;
    std::array<Slot, static_cast<std::size_t>(ui::Picture::count_)> slots_{};
    std::map<std::pair<int, int>, Slot> scaled_;  // by picture and DPI
    std::map<int, UniqueIcon> icons_;             // by size
};

}  // namespace quorvel::win32
