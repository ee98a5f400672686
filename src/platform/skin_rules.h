// What the control skin touches and in which colours, kept apart from the
// Win32 painting so the decisions can be tested on any host. Style bits are
// the Win32 values, repeated here because this file must not see <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quorvel::platform {

namespace style {
// Window styles
inline constexpr std::uint32_t child = 0x40000000;
inline constexpr std::uint32_t border = 0x00800000;
// Button styles
inline constexpr std::uint32_t bs_type_mask = 0x0F;
inline constexpr std::uint32_t bs_push_button = 0x00;
inline constexpr std::uint32_t bs_def_push_button = 0x01;
inline constexpr std::uint32_t bs_check_box = 0x02;
inline constexpr std::uint32_t bs_auto_check_box = 0x03;
inline constexpr std::uint32_t bs_radio_button = 0x04;
inline constexpr std::uint32_t bs_3state = 0x05;
inline constexpr std::uint32_t bs_auto_3state = 0x06;
inline constexpr std::uint32_t bs_group_box = 0x07;
inline constexpr std::uint32_t bs_user_button = 0x08;
inline constexpr std::uint32_t bs_auto_radio_button = 0x09;
inline constexpr std::uint32_t bs_push_box = 0x0A;
inline constexpr std::uint32_t bs_owner_draw = 0x0B;
inline constexpr std::uint32_t bs_icon = 0x40;
inline constexpr std::uint32_t bs_bitmap = 0x80;
inline constexpr std::uint32_t bs_push_like = 0x1000;
// Combo box styles
inline constexpr std::uint32_t cbs_type_mask = 0x03;
inline constexpr std::uint32_t cbs_simple = 0x01;
inline constexpr std::uint32_t cbs_drop_down = 0x02;
inline constexpr std::uint32_t cbs_drop_down_list = 0x03;
}  // namespace style

// How a skinned control is drawn; `none` means it is left to the system.
enum class SkinKind {
    none,
    push_button,
    check_box,
    radio_button,
    group_box,
    edit,
    combo_box,
    combo_list,  // the dropped list of a skinned combo box
    up_down,
};

struct WindowFacts {
    std::string_view class_name;  // ASCII, any case
    std::uint32_t style = 0;
    // For a combo box's list or edit box: the style of the combo box it
    // belongs to; nothing when it belongs to no combo box.
    std::optional<std::uint32_t> host_combo_style;
};

SkinKind skin_kind(const WindowFacts& window);

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

// A vertical run of colour, top to bottom.
struct Gradient {
    Rgb top, bottom;
};

struct SkinScheme {
    int number = 0;
    Rgb frame;           // flat frame of edit boxes, combo boxes and dropped lists
    Rgb frame_active;    // the same frame while focused or under the mouse
    Rgb frame_disabled;  // frame of a disabled edit-like control and disabled buttons
    Rgb button_outline;  // rounded outline of push buttons
    Gradient button_face;
    Gradient button_face_pressed;
    Rgb button_face_disabled;
    Gradient hot_ring;      // inner lines under the mouse
    Gradient default_ring;  // inner lines of the default or focused button
    Rgb text;
    Rgb text_disabled;
    Rgb box_border;  // check box square, radio circle
    Gradient box_fill;
    Gradient box_fill_pressed;
    Rgb mark;  // check mark, radio dot
    Rgb group_frame;
    Rgb group_text;
    Gradient arrow_button;  // combo drop button, up-down arrows
    Gradient arrow_button_hot;
    Gradient arrow_button_pressed;
    Rgb arrow_button_outline;
    Rgb arrow;
};

// 1 blue, 2 olive green, 3 silver; any other number has no scheme.
const SkinScheme* skin_scheme(int number);

// Which windows carry the skin, and in which scheme. A window is listed at
// most once, so it can never carry two skins; switching schemes hands back
// every listed window so the earlier skin comes off before the new one goes on.
class SkinLedger {
  public:
    using Window = std::uintptr_t;

    // Clears the ledger and returns the windows that carried the earlier
    // skin. Afterwards `scheme()` is the new scheme, or null when the number
    // names none.
    std::vector<Window> switch_to(int scheme_number);
    const SkinScheme* scheme() const { return scheme_; }

    // True when the window was newly listed; false when it already carries
    // the skin or no scheme is in force.
    bool add(Window window);
    bool remove(Window window);
    bool contains(Window window) const;
    std::size_t size() const { return windows_.size(); }

  private:
    const SkinScheme* scheme_ = nullptr;
    std::vector<Window> windows_;
};

}  // namespace quorvel::platform
