#include "platform/win32/skin/skin.h"

#include <windows.h>
// commctrl.h needs what windows.h declares: a block of its own keeps the order
#include <commctrl.h>

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/skin_rules.h"
#include "platform/win32/skin/skin_paint.h"

namespace quorvel::win32 {
namespace {

using platform::SkinKind;
using skin::ControlState;
using skin::is_class;

// One fixed id: installing again replaces the layer instead of stacking one.
constexpr UINT_PTR subclass_id = 0x51534B4E;

struct ThreadSkin {
    platform::SkinLedger ledger;
    // The state each layer was installed with (its reference data), found by
    // window: GetWindowSubclass is not in every import library.
    std::unordered_map<HWND, ControlState*> states;
    UniqueHook hook;  // installed on the first call, kept for the thread's life
};

// The skin works on the thread that applied it, and on no other.
thread_local ThreadSkin thread_skin;

UINT layers_message() {
    static const UINT message = RegisterWindowMessageW(skin_layers_message);
    return message;
}

std::string class_name(HWND w) {
    wchar_t buf[64] = {};
    const int n = GetClassNameW(w, buf, 64);
    std::string ascii;
    for (int i = 0; i < n; ++i) ascii.push_back(buf[i] < 0x80 ? static_cast<char>(buf[i]) : '?');
    return ascii;
}

// `parent` tells whether a list or edit box is part of a combo box.
SkinKind kind_of(HWND w, LONG style, HWND parent) {
    const std::string name = class_name(w);
    platform::WindowFacts facts{name, static_cast<std::uint32_t>(style), std::nullopt};
    if ((is_class(w, L"ComboLBox") || is_class(w, L"Edit")) && is_class(parent, L"ComboBox"))
        facts.host_combo_style = static_cast<std::uint32_t>(GetWindowLongW(parent, GWL_STYLE));
    return platform::skin_kind(facts);
}

LRESULT CALLBACK skin_layer(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

ControlState* state_in(HWND w) {
    const auto& states = thread_skin.states;
    const auto it = states.find(w);
    return it == states.end() ? nullptr : it->second;
}

void redraw_whole(HWND w) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

bool put_on(HWND w, SkinKind kind) {
    ThreadSkin& t = thread_skin;
    if (kind == SkinKind::none || !t.ledger.add(reinterpret_cast<std::uintptr_t>(w))) return false;
    auto state = std::make_unique<ControlState>();
    state->kind = kind;
    state->scheme = t.ledger.scheme();
    if (!SetWindowSubclass(w, skin_layer, subclass_id, reinterpret_cast<DWORD_PTR>(state.get()))) {
        t.ledger.remove(reinterpret_cast<std::uintptr_t>(w));
        return false;
    }
    SetPropW(w, skin_property,
             reinterpret_cast<HANDLE>(static_cast<INT_PTR>(state->scheme->number)));
    t.states[w] = state.release();  // owned by the layer from now on
    return true;
}

void take_off(HWND w, bool redraw) {
    if (ControlState* state = state_in(w)) {
        RemoveWindowSubclass(w, skin_layer, subclass_id);
        thread_skin.states.erase(w);
        if (state->depth > 0)
            state->detached = true;  // freed when the running call returns
        else
            delete state;
    }
    RemovePropW(w, skin_property);
    thread_skin.ledger.remove(reinterpret_cast<std::uintptr_t>(w));
    if (redraw) redraw_whole(w);
}

// The dropped list exists only once the combo box has run WM_CREATE.
void put_on_list_of(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(combo, &info) || !info.hwndList) return;
    if (put_on(info.hwndList,
               kind_of(info.hwndList, GetWindowLongW(info.hwndList, GWL_STYLE), combo)))
        redraw_whole(info.hwndList);
}

BOOL CALLBACK put_on_existing(HWND w, LPARAM) {
    if (GetWindowThreadProcessId(w, nullptr) != GetCurrentThreadId()) return TRUE;
    const SkinKind kind = kind_of(w, GetWindowLongW(w, GWL_STYLE), GetParent(w));
    if (put_on(w, kind)) redraw_whole(w);
    if (kind == SkinKind::combo_box) put_on_list_of(w);
    return TRUE;
}

BOOL CALLBACK put_on_window_tree(HWND top, LPARAM) {
    put_on_existing(top, 0);
    EnumChildWindows(top, put_on_existing, 0);
    return TRUE;
}

LRESULT CALLBACK on_cbt(int code, WPARAM wparam, LPARAM lparam) {
    // Texts and the final button set are not known yet (a message box makes
    // all its buttons, then destroys the unused ones): the layer goes on
    // now, the look is decided at each paint.
    if (code == HCBT_CREATEWND && thread_skin.ledger.scheme()) {
        const HWND w = reinterpret_cast<HWND>(wparam);
        const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
        put_on(w, kind_of(w, cs->style, cs->hwndParent));
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

// --- message handling ----------------------------------------------------------

LRESULT call_system(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefSubclassProc(w, m, wp, lp);
}

LRESULT system_nc_paint(HWND w, HRGN region) {
    return DefSubclassProc(w, WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
}

void paint_now(HWND w, const ControlState& st) {
    if (st.detached || !IsWindowVisible(w)) return;
    skin::WindowDc dc(w, false);
    if (dc.get()) skin::paint_client(w, dc.get(), st);
}

void refresh_frame(HWND w, const ControlState& st) {
    if (!st.detached && IsWindowVisible(w))
        skin::paint_frame(w, st, reinterpret_cast<HRGN>(1), system_nc_paint);
}

bool cursor_over(HWND w) {
    POINT pt;
    RECT r;
    return GetCursorPos(&pt) && GetWindowRect(w, &r) && PtInRect(&r, pt);
}

void track_leave(HWND w, ControlState& st) {
    if (st.tracking) return;
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, w, 0};
    st.tracking = TrackMouseEvent(&tme) != FALSE;
}

POINT client_point(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

bool inside_client(HWND w, POINT pt) {
    RECT r;
    GetClientRect(w, &r);
    return PtInRect(&r, pt) != FALSE;
}

// Messages on which the system button paints at once instead of asking for
// a paint. Its drawing is kept off the screen (redraw off) and ours follows,
// so the system's look never flashes up.
bool button_paints_directly(UINT m) {
    switch (m) {
        case WM_SETTEXT:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_UPDATEUISTATE:
        case BM_SETSTATE:
        case BM_SETCHECK:
        case BM_SETSTYLE:
            return true;
        default:
            return false;
    }
}

LRESULT button_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    switch (m) {
        case WM_PAINT: {
            PaintScope paint(w);
            skin::paint_client(w, paint.dc(), st);
            return 0;
        }
        case WM_PRINTCLIENT:
            skin::paint_client(w, reinterpret_cast<HDC>(wp), st);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE: {
            const LRESULT r = call_system(w, m, wp, lp);
            track_leave(w, st);
            const bool hot = inside_client(w, client_point(lp));
            if (hot != st.hot) {
                st.hot = hot;
                InvalidateRect(w, nullptr, FALSE);
            }
            return r;
        }
        case WM_MOUSELEAVE: {
            const LRESULT r = call_system(w, m, wp, lp);
            st.tracking = false;
            if (st.hot) {
                st.hot = false;
                InvalidateRect(w, nullptr, FALSE);
            }
            return r;
        }
        default:
            break;
    }
    if (!button_paints_directly(m)) return call_system(w, m, wp, lp);
    // A hidden window must stay hidden: redraw on would show it.
    const bool visible = (GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible) call_system(w, WM_SETREDRAW, FALSE, 0);
    const LRESULT r = call_system(w, m, wp, lp);
    if (visible && IsWindow(w)) {
        call_system(w, WM_SETREDRAW, TRUE, 0);
        if (st.detached)
            redraw_whole(w);
        else
            paint_now(w, st);
    }
    return r;
}

// The combo box that an edit box is part of, when that combo box is skinned.
HWND skinned_combo_of(HWND edit) {
    HWND parent = GetParent(edit);
    ControlState* ps = state_in(parent);
    return ps && ps->kind == SkinKind::combo_box ? parent : nullptr;
}

// An edit box's look shows in its neighbours: the combo box it belongs to
// and an up-down control sitting on it.
void edit_changed(HWND edit, const ControlState& st) {
    if (HWND combo = skinned_combo_of(edit)) {
        ControlState* cs = state_in(combo);
        cs->hot = st.hot || cursor_over(combo);
        InvalidateRect(combo, nullptr, FALSE);
    }
    HWND parent = GetParent(edit);
    if (!parent) return;
    for (HWND s = GetWindow(parent, GW_CHILD); s; s = GetWindow(s, GW_HWNDNEXT)) {
        ControlState* ss = state_in(s);
        if (ss && ss->kind == SkinKind::up_down &&
            reinterpret_cast<HWND>(SendMessageW(s, UDM_GETBUDDY, 0, 0)) == edit)
            InvalidateRect(s, nullptr, FALSE);
    }
}

LRESULT framed_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    switch (m) {
        case WM_NCPAINT:
            if (skin::paint_frame(w, st, reinterpret_cast<HRGN>(wp), system_nc_paint)) return 0;
            return call_system(w, m, wp, lp);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE: {
            const LRESULT r = call_system(w, m, wp, lp);
            if (!st.detached && IsWindow(w)) {
                refresh_frame(w, st);
                edit_changed(w, st);
            }
            return r;
        }
        case WM_MOUSEMOVE: {
            const LRESULT r = call_system(w, m, wp, lp);
            track_leave(w, st);
            if (!st.hot) {
                st.hot = true;
                refresh_frame(w, st);
                edit_changed(w, st);
            }
            return r;
        }
        case WM_MOUSELEAVE: {
            const LRESULT r = call_system(w, m, wp, lp);
            st.tracking = false;
            if (st.hot) {
                st.hot = false;
                refresh_frame(w, st);
                edit_changed(w, st);
            }
            return r;
        }
        default:
            return call_system(w, m, wp, lp);
    }
}

// Messages after which the system combo box may have drawn its own field or
// button straight onto the screen (a selection made in the list, for one);
// ours is drawn over it at once.
bool combo_may_paint(UINT m) {
    switch (m) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_SETTEXT:
        case WM_UPDATEUISTATE:
        case WM_COMMAND:
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_MOUSEWHEEL:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
        case CB_SETCURSEL:
        case CB_SELECTSTRING:
        case CB_SHOWDROPDOWN:
            return true;
        default:
            return false;
    }
}

LRESULT combo_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    switch (m) {
        case WM_PAINT: {
            PaintScope paint(w);
            skin::paint_client(w, paint.dc(), st);
            return 0;
        }
        case WM_PRINTCLIENT:
            skin::paint_client(w, reinterpret_cast<HDC>(wp), st);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CREATE: {
            const LRESULT r = call_system(w, m, wp, lp);
            if (r != -1 && !st.detached) put_on_list_of(w);
            return r;
        }
        case WM_MOUSEMOVE: {
            const LRESULT r = call_system(w, m, wp, lp);
            track_leave(w, st);
            if (!st.hot) {
                st.hot = true;
                InvalidateRect(w, nullptr, FALSE);
            }
            return r;
        }
        case WM_MOUSELEAVE: {
            const LRESULT r = call_system(w, m, wp, lp);
            st.tracking = false;
            const HWND edit = [&] {
                COMBOBOXINFO info{};
                info.cbSize = sizeof info;
                return GetComboBoxInfo(w, &info) ? info.hwndItem : nullptr;
            }();
            const ControlState* es = edit != w ? state_in(edit) : nullptr;
            const bool hot = es && es->hot;  // gone into its own edit box
            if (hot != st.hot) {
                st.hot = hot;
                InvalidateRect(w, nullptr, FALSE);
            }
            return r;
        }
        default:
            break;
    }
    const LRESULT r = call_system(w, m, wp, lp);
    if (combo_may_paint(m) && IsWindow(w)) paint_now(w, st);
    return r;
}

LRESULT up_down_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    switch (m) {
        case WM_PAINT: {
            PaintScope paint(w);
            skin::paint_client(w, paint.dc(), st);
            return 0;
        }
        case WM_PRINTCLIENT:
            skin::paint_client(w, reinterpret_cast<HDC>(wp), st);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE: {
            const LRESULT r = call_system(w, m, wp, lp);
            track_leave(w, st);
            const int part = skin::up_down_part(w, client_point(lp));
            if (part != st.hot_part) {
                st.hot_part = part;
                InvalidateRect(w, nullptr, FALSE);
            }
            return r;
        }
        case WM_MOUSELEAVE: {
            const LRESULT r = call_system(w, m, wp, lp);
            st.tracking = false;
            st.hot_part = -1;
            InvalidateRect(w, nullptr, FALSE);
            return r;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            st.pressed_part = st.hot_part = skin::up_down_part(w, client_point(lp));
            InvalidateRect(w, nullptr, FALSE);
            return call_system(w, m, wp, lp);
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED: {
            const LRESULT r = call_system(w, m, wp, lp);
            if (st.pressed_part >= 0) {
                st.pressed_part = -1;
                InvalidateRect(w, nullptr, FALSE);
            }
            return r;
        }
        case WM_ENABLE: {
            const LRESULT r = call_system(w, m, wp, lp);
            InvalidateRect(w, nullptr, FALSE);
            return r;
        }
        default:
            return call_system(w, m, wp, lp);
    }
}

LRESULT handle(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    if (m == layers_message()) return call_system(w, m, wp, lp) + 1;
    switch (m) {
        case WM_NCDESTROY:
            take_off(w, false);
            return call_system(w, m, wp, lp);
        case WM_STYLECHANGED: {
            const LRESULT r = call_system(w, m, wp, lp);
            if (wp == static_cast<WPARAM>(GWL_STYLE) && !st.detached) {
                // A button made owner-drawn later is the owner's again.
                const SkinKind kind = kind_of(w, GetWindowLongW(w, GWL_STYLE), GetParent(w));
                if (st.kind != SkinKind::combo_list && kind != st.kind) {
                    if (kind == SkinKind::none) {
                        take_off(w, true);
                        return r;
                    }
                    st.kind = kind;
                }
                redraw_whole(w);
            }
            return r;
        }
        case WM_THEMECHANGED:
        case WM_SYSCOLORCHANGE: {
            const LRESULT r = call_system(w, m, wp, lp);
            redraw_whole(w);
            return r;
        }
        default:
            break;
    }
    switch (st.kind) {
        case SkinKind::push_button:
        case SkinKind::check_box:
        case SkinKind::radio_button:
        case SkinKind::group_box:
            return button_message(w, m, wp, lp, st);
        case SkinKind::edit:
        case SkinKind::combo_list:
            return framed_message(w, m, wp, lp, st);
        case SkinKind::combo_box:
            return combo_message(w, m, wp, lp, st);
        case SkinKind::up_down:
            return up_down_message(w, m, wp, lp, st);
        case SkinKind::none:
            break;
    }
    return call_system(w, m, wp, lp);
}

LRESULT CALLBACK skin_layer(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    ControlState& st = *reinterpret_cast<ControlState*>(ref);
    ++st.depth;
    const LRESULT r = handle(w, m, wp, lp, st);
    if (--st.depth == 0 && st.detached) delete &st;
    return r;
}

}  // namespace

namespace skin {
const ControlState* state_of(HWND window) {
    return state_in(window);
}
}  // namespace skin

void apply_control_skin(int scheme) {
    ThreadSkin& t = thread_skin;
    if (!t.hook) t.hook.reset(SetWindowsHookExW(WH_CBT, on_cbt, nullptr, GetCurrentThreadId()));
    for (std::uintptr_t w : t.ledger.switch_to(scheme)) take_off(reinterpret_cast<HWND>(w), true);
    if (!t.ledger.scheme()) return;
    EnumThreadWindows(GetCurrentThreadId(), put_on_window_tree, 0);
}

}  // namespace quorvel::win32
