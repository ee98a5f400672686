#include "platform/win32/skin/client_paint.h"

#include "platform/win32/base/handles.h"
#include "platform/win32/skin/dc_scopes.h"

namespace quorvel::win32::skin {

void paint_client(HWND w, HDC target, const ControlState& st, ClientPainter paint) {
    if (!st.scheme) return;
    RECT rc;
    GetClientRect(w, &rc);
    PixelCanvas cv(target, rc.right, rc.bottom);
    if (!cv.ok()) return;
    SavedDc saved_canvas(cv.dc());
    SavedDc saved_target(target);
    paint(w, cv, *st.scheme, st, target);
    cv.copy_to(target);
}

void paint_now(HWND w, const ControlState& st, ClientPainter paint) {
    if (st.detached || !IsWindowVisible(w)) return;
    WindowDc dc(w, false);
    if (dc.get()) paint_client(w, dc.get(), st, paint);
}

std::optional<LRESULT> client_paint_message(HWND w, UINT m, WPARAM wp, const ControlState& st,
                                            ClientPainter paint) {
    switch (m) {
        case WM_PAINT: {
            PaintScope scope(w);
            paint_client(w, scope.dc(), st, paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            paint_client(w, reinterpret_cast<HDC>(wp), st, paint);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return std::nullopt;
    }
}

}  // namespace quorvel::win32::skin
