// Keyboard of dialog-like windows, read before the message is dispatched.
#include "platform/win32/forms/form_window.h"

#include <commctrl.h>

#include "platform/win32/base/text.h"
#include "platform/win32/forms/form_parts.h"

namespace quorvel::win32 {

using ui::ControlId;
using ui::Kind;

bool FormWindow::pretranslate(const MSG& msg) {
    if (!hwnd_ || !form_.design().framed || msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != hwnd_.get() && !IsChild(hwnd_.get(), msg.hwnd)) return false;
    HWND focus = GetFocus();
    // A dropped list keeps its own keys (Enter and Esc close it).
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (form_.design().controls[i].kind == Kind::combo_box && children_[i] &&
            SendMessageW(children_[i], CB_GETDROPPEDSTATE, 0, 0))
            return false;
    }
    switch (msg.wParam) {
        case VK_TAB: {
            // Tab stops in stacking order read from the bottom up.
            std::vector<HWND> order;
            for (auto it = children_.rbegin(); it != children_.rend(); ++it)
                if (*it && (GetWindowLongW(*it, GWL_STYLE) & WS_TABSTOP)) order.push_back(*it);
            if (order.empty()) return true;
            std::size_t at = order.size() - 1;
            for (std::size_t i = 0; i < order.size(); ++i)
                if (order[i] == focus || IsChild(order[i], focus)) at = i;
            const bool back = GetKeyState(VK_SHIFT) < 0;
            const std::size_t next =
                back ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
            SendMessageW(hwnd_.get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
            SetFocus(order[next]);
            if (SendMessageW(order[next], WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                SendMessageW(order[next], EM_SETSEL, 0, -1);
            return true;
        }
        case VK_RETURN: {
            // Only a focused button takes Enter, so Enter in a list or the
            // path box can never arm a forced shutdown by accident.
            wchar_t cls[16] = {};
            GetClassNameW(focus, cls, 16);
            if (IsChild(hwnd_.get(), focus) && lstrcmpiW(cls, WC_BUTTONW) == 0)
                SendMessageW(focus, BM_CLICK, 0, 0);
            return true;
        }
        case VK_ESCAPE:
            return true;
        default:
            return false;
    }
}

}  // namespace quorvel::win32
