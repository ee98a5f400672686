// The skin's layers: which controls of the thread carry one (the ledger),
// putting a layer on and taking it off, the CBT hook that skins controls as
// they are created, and the layer's window procedure, which handles what all
// kinds share and hands every other message to the kind's own handling.
#include "platform/win32/skin/skin.h"

#include <windows.h>
// commctrl.h needs what windows.h declares: a block of its own keeps the order
#include <commctrl.h>

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/skin_rules.h"
#include "platform/win32/base/handles.h"
#include "platform/win32/skin/control_looks.h"
#include "platform/win32/skin/layer.h"

namespace quorvel::win32::skin {
namespace {

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
    if (ControlState* state = state_of(w)) {
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

// --- the layer ---------------------------------------------------------------------

// A button made owner-drawn later is the owner's again.
LRESULT style_changed(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    const LRESULT r = call_system(w, m, wp, lp);
    if (wp != static_cast<WPARAM>(GWL_STYLE) || st.detached) return r;
    const SkinKind kind = kind_of(w, GetWindowLongW(w, GWL_STYLE), GetParent(w));
    if (st.kind != SkinKind::combo_list && kind != st.kind) {
        if (kind == SkinKind::none) {
            take_off(w, true);
            return r;
        }
        st.kind = kind;
    }
    redraw_whole(w);
    return r;
}

LRESULT kind_message(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    switch (st.kind) {
        case SkinKind::push_button:
        case SkinKind::check_box:
        case SkinKind::radio_button:
        case SkinKind::group_box:
            return button_message(w, m, wp, lp, st);
        case SkinKind::edit:
        case SkinKind::combo_list:
            return frame_message(w, m, wp, lp, st);
        case SkinKind::combo_box:
            return combo_message(w, m, wp, lp, st);
        case SkinKind::up_down:
            return up_down_message(w, m, wp, lp, st);
        case SkinKind::none:
            break;
    }
    return call_system(w, m, wp, lp);
}

LRESULT handle(HWND w, UINT m, WPARAM wp, LPARAM lp, ControlState& st) {
    if (m == layers_message()) return call_system(w, m, wp, lp) + 1;
    switch (m) {
        case WM_NCDESTROY:
            take_off(w, false);
            return call_system(w, m, wp, lp);
        case WM_STYLECHANGED:
            return style_changed(w, m, wp, lp, st);
        case WM_THEMECHANGED:
        case WM_SYSCOLORCHANGE: {
            const LRESULT r = call_system(w, m, wp, lp);
            redraw_whole(w);
            return r;
        }
        default:
            return kind_message(w, m, wp, lp, st);
    }
}

LRESULT CALLBACK skin_layer(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    ControlState& st = *reinterpret_cast<ControlState*>(ref);
    ++st.depth;
    const LRESULT r = handle(w, m, wp, lp, st);
    if (--st.depth == 0 && st.detached) delete &st;
    return r;
}

}  // namespace

ControlState* state_of(HWND w) {
    const auto& states = thread_skin.states;
    const auto it = states.find(w);
    return it == states.end() ? nullptr : it->second;
}

LRESULT call_system(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefSubclassProc(w, m, wp, lp);
}

void redraw_whole(HWND w) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void put_on_list_of(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(combo, &info) || !info.hwndList) return;
    if (put_on(info.hwndList,
               kind_of(info.hwndList, GetWindowLongW(info.hwndList, GWL_STYLE), combo)))
        redraw_whole(info.hwndList);
}

}  // namespace quorvel::win32::skin

namespace quorvel::win32 {

void apply_control_skin(int scheme) {
    skin::ThreadSkin& t = skin::thread_skin;
    if (!t.hook)
        t.hook.reset(SetWindowsHookExW(WH_CBT, skin::on_cbt, nullptr, GetCurrentThreadId()));
    for (std::uintptr_t w : t.ledger.switch_to(scheme))
        skin::take_off(reinterpret_cast<HWND>(w), true);
    if (!t.ledger.scheme()) return;
    EnumThreadWindows(GetCurrentThreadId(), skin::put_on_window_tree, 0);
}

}  // namespace quorvel::win32
