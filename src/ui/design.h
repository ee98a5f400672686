// Vocabulary of window designs: the kinds of control, their places, looks and
// pictures. The designs themselves are data (main_design.h, options_design.h).
#pragma once

#include <cstdint>
#include <span>

namespace quorvel::ui {

// A control's identity is its row in its design's controls table (1 = topmost),
// which is also its child-window id, so outside tools can find it.
struct ControlId {
    int row = 0;
    constexpr bool operator==(const ControlId&) const = default;
};
inline constexpr ControlId window_id{0};

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    constexpr bool operator==(const Rect&) const = default;
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    constexpr bool operator==(const Rgb&) const = default;
};

enum class Kind : std::uint8_t {
    picture_box,
    label,
    transparent_label,
    picture_button,
    edit_box,
    button,
    timer,
    combo_box,
    file_dialog,
};

enum class Font : std::uint8_t {
    gui_default,
    clock_face,  // bold, 96-pixel characters
};

struct Look {
    Font font = Font::gui_default;
    Rgb colour{};
    bool shadow = false;  // black copy 2 px right and 2 px down, under the caption
    constexpr bool operator==(const Look&) const = default;
};

enum class DisplayMode : std::uint8_t { natural, stretched };

// Every picture the program carries; tools/artwork draws each one.
enum class Picture : std::uint8_t {
    none,
    program_icon,
    settings_normal,
    settings_hover,
    settings_pressed,
    settings_disabled,
    close_normal,
    close_hover,
    close_pressed,
    minimise_normal,
    minimise_hover,
    minimise_pressed,
    maximise_normal,
    maximise_hover,
    maximise_pressed,
    restore_normal,
    restore_hover,
    restore_pressed,
    title_strip,   // background of 标题栏2, 5 x 22
    title_joint,   // 标题栏3, 5 x 22
    title_holder,  // 标题栏4, 7 x 22
    date_line,     // background of 标题栏6, 5 x 30
    title_left,    // 标题栏1, 5 x 52
    title_right,   // 标题栏5, 6 x 52
    status_left,
    status_middle,
    status_right,
    border_left,
    border_right,
    count_,
};

enum class ButtonState : std::uint8_t { normal, hover, pressed, disabled };

struct ControlDesign {
    const char* name;
    Kind kind;
    Rect place;
    bool shown = true;
    const char* text = "";
    ControlId parent = window_id;
    Look look{};
    // Picture box: [0] with `mode`. Label: [0] tiled behind the caption.
    // Picture button: normal, hover, pressed, disabled (none = use normal).
    Picture pictures[4] = {};
    DisplayMode mode = DisplayMode::natural;
    int timer_period_ms = 0;
    int item_count = 0;  // combo box: items "0" .. item_count-1
};

struct WindowDesign {
    const char* name;
    const char* caption;
    int width;  // outer size
    int height;
    Rgb background;
    bool framed;  // fixed single frame with title bar, system menu, close box
    bool visible;
    std::span<const ControlDesign> controls;

    const ControlDesign& operator[](ControlId id) const { return controls[id.row - 1]; }
};

}  // namespace quorvel::ui
