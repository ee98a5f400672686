#include "platform/win32/forms/pictures.h"

#include "platform/win32/base/resource_ids.h"

namespace quorvel::win32 {

namespace {

using ui::Picture;

constexpr int id(Picture p) {
    return 100 + static_cast<int>(p);
}
static_assert(IDR_PROGRAM_ICON == id(Picture::program_icon));
static_assert(IDR_SETTINGS_NORMAL == id(Picture::settings_normal));
static_assert(IDR_SETTINGS_HOVER == id(Picture::settings_hover));
static_assert(IDR_SETTINGS_PRESSED == id(Picture::settings_pressed));
static_assert(IDR_SETTINGS_DISABLED == id(Picture::settings_disabled));
static_assert(IDR_CLOSE_NORMAL == id(Picture::close_normal));
static_assert(IDR_CLOSE_HOVER == id(Picture::close_hover));
static_assert(IDR_CLOSE_PRESSED == id(Picture::close_pressed));
static_assert(IDR_MINIMISE_NORMAL == id(Picture::minimise_normal));
static_assert(IDR_MINIMISE_HOVER == id(Picture::minimise_hover));
static_assert(IDR_MINIMISE_PRESSED == id(Picture::minimise_pressed));
static_assert(IDR_MAXIMISE_NORMAL == id(Picture::maximise_normal));
static_assert(IDR_MAXIMISE_HOVER == id(Picture::maximise_hover));
static_assert(IDR_MAXIMISE_PRESSED == id(Picture::maximise_pressed));
static_assert(IDR_RESTORE_NORMAL == id(Picture::restore_normal));
static_assert(IDR_RESTORE_HOVER == id(Picture::restore_hover));
static_assert(IDR_RESTORE_PRESSED == id(Picture::restore_pressed));
static_assert(IDR_TITLE_STRIP == id(Picture::title_strip));
static_assert(IDR_TITLE_JOINT == id(Picture::title_joint));
static_assert(IDR_TITLE_HOLDER == id(Picture::title_holder));
static_assert(IDR_DATE_LINE == id(Picture::date_line));
static_assert(IDR_TITLE_LEFT == id(Picture::title_left));
static_assert(IDR_TITLE_RIGHT == id(Picture::title_right));
static_assert(IDR_STATUS_LEFT == id(Picture::status_left));
static_assert(IDR_STATUS_MIDDLE == id(Picture::status_middle));
static_assert(IDR_STATUS_RIGHT == id(Picture::status_right));
static_assert(IDR_BORDER_LEFT == id(Picture::border_left));
static_assert(IDR_BORDER_RIGHT == id(Picture::border_right));

// Decodes an image file held in memory (BMP, GIF, JPEG) into a 32 bpp DIB.
UniqueBitmap decode(IWICImagingFactory* factory, const void* bytes, DWORD size, int& width,
                    int& height) {
    ComPtr<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)), size)))
        return {};
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.put())))
        return {};
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) return {};
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return {};
    UINT w = 0, h = 0;
    if (FAILED(converter->GetSize(&w, &h)) || w == 0 || h == 0) return {};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -static_cast<LONG>(h);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib) return {};
    const UINT stride = w * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * h, static_cast<BYTE*>(bits))))
        return {};
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return dib;
}

// A 32 bpp copy at another size, averaged rather than sampled so thin lines
// and edges stay smooth.
UniqueBitmap scaled_copy(HBITMAP source, int sw, int sh, int w, int h) {
    if (w <= 0 || h <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueDc from(CreateCompatibleDC(nullptr));
    UniqueDc to(CreateCompatibleDC(nullptr));
    if (!dib || !from || !to) return {};
    {
        Selection in(from.get(), source);
        Selection out(to.get(), dib.get());
        SetStretchBltMode(to.get(), HALFTONE);
        SetBrushOrgEx(to.get(), 0, 0, nullptr);
        StretchBlt(to.get(), 0, 0, w, h, from.get(), 0, 0, sw, sh, SRCCOPY);
    }
    return dib;
}

}  // namespace

// Sets drawn for 125, 150 and 200 %, embedded at the designed id + n * 1000.
constexpr int set_dpi[] = {120, 144, 192};
constexpr int set_id_step = 1000;

void PictureStore::load(int resource, Slot& slot) {
    slot.loaded = true;
    HRSRC res = FindResourceW(instance_, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(10));
    HGLOBAL data = res ? LoadResource(instance_, res) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (bytes && !factory_.get() && !factory_failed_) {
        // One factory for every picture: creating it is the costly part.
        factory_failed_ = FAILED(CoCreateInstance(
            CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory_.put())));
    }
    if (bytes && factory_.get()) {
        int w = 0, h = 0;
        slot.owned = decode(factory_.get(), bytes, SizeofResource(instance_, res), w, h);
        slot.bitmap = {slot.owned.get(), w, h};
    }
}

Bitmap PictureStore::bitmap(Picture p) {
    if (p == Picture::none || p == Picture::program_icon || p >= Picture::count_) return {};
    Slot& slot = slots_[static_cast<std::size_t>(p)];
    if (!slot.loaded) load(id(p), slot);
    return slot.bitmap;
}

// The set drawn for the nearest scale at or above this one, scaled down to
// it smoothly where it lies between sets; the designed picture scaled where
// no set was carried.
Bitmap PictureStore::bitmap(Picture p, const ui::Scale& scale) {
    const Bitmap designed = bitmap(p);
    if (scale.identity() || !designed.handle) return designed;
    Slot& slot = scaled_[{static_cast<int>(p), scale.dpi()}];
    if (slot.loaded) return slot.bitmap;
    int set = 0;
    while (set + 1 < static_cast<int>(std::size(set_dpi)) && set_dpi[set] < scale.dpi()) ++set;
    Slot drawn;
    load(id(p) + set_id_step * (set + 1), drawn);
    const Bitmap source = drawn.bitmap.handle ? drawn.bitmap : designed;
    const int w = scale.px(designed.width), h = scale.px(designed.height);
    slot.loaded = true;
    if (source.width == w && source.height == h) {
        slot = std::move(drawn);
    } else {
        slot.owned = scaled_copy(source.handle, source.width, source.height, w, h);
        if (slot.owned) slot.bitmap = {slot.owned.get(), w, h};
    }
    return slot.bitmap;
}

HICON PictureStore::icon(int size) {
    UniqueIcon& cached = icons_[size];
    if (!cached)
        cached.reset(static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, 0)));
    return cached.get();
}

}  // namespace quorvel::win32
