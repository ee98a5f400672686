#include "platform/skin_rules.h"

#include <algorithm>
#include <array>

namespace quorvel::platform {
namespace {

bool same_name(std::string_view a, std::string_view b) {
    auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

SkinKind button_kind(std::uint32_t s) {
    // A picture in place of the caption is the owner's look, not ours.
    if (s & (style::bs_bitmap | style::bs_icon)) return SkinKind::none;
    const bool push_like = (s & style::bs_push_like) != 0;
    switch (s & style::bs_type_mask) {
        case style::bs_push_button:
        case style::bs_def_push_button:
            return SkinKind::push_button;
        case style::bs_check_box:
        case style::bs_auto_check_box:
        case style::bs_3state:
        case style::bs_auto_3state:
            return push_like ? SkinKind::push_button : SkinKind::check_box;
        case style::bs_radio_button:
        case style::bs_auto_radio_button:
            return push_like ? SkinKind::push_button : SkinKind::radio_button;
        case style::bs_group_box:
            return SkinKind::group_box;
        default:  // owner-drawn, user button, push box, split buttons, command links
            return SkinKind::none;
    }
}

bool drops_down(std::uint32_t combo_style) {
    // A simple combo box shows its list all the time; it is not a drop-down.
    return (combo_style & style::cbs_type_mask) == style::cbs_drop_down ||
           (combo_style & style::cbs_type_mask) == style::cbs_drop_down_list;
}

constexpr Rgb orange_top{255, 240, 207}, orange_bottom{229, 151, 0};
constexpr Rgb black{0, 0, 0}, grey_text{161, 161, 146};

// clang-format off
constexpr std::array<SkinScheme, 3> schemes{{
    {.number = 1,
     .frame = {123, 158, 189}, .frame_active = {61, 110, 160}, .frame_disabled = {201, 199, 186},
     .button_outline = {0, 60, 116},
     .button_face = {{255, 255, 255}, {236, 235, 230}},
     .button_face_pressed = {{209, 204, 193}, {239, 238, 233}},
     .button_face_disabled = {245, 244, 234},
     .hot_ring = {orange_top, orange_bottom},
     .default_ring = {{206, 231, 255}, {105, 130, 238}},
     .text = black, .text_disabled = grey_text,
     .box_border = {28, 81, 128},
     .box_fill = {{220, 220, 215}, {255, 255, 255}},
     .box_fill_pressed = {{176, 176, 167}, {250, 250, 248}},
     .mark = {33, 161, 33},
     .group_frame = {208, 208, 191}, .group_text = {0, 70, 213},
     .arrow_button = {{180, 203, 252}, {95, 132, 228}},
     .arrow_button_hot = {{205, 222, 255}, {122, 158, 244}},
     .arrow_button_pressed = {{84, 114, 200}, {124, 156, 232}},
     .arrow_button_outline = {79, 112, 204},
     .arrow = {255, 255, 255}},
    {.number = 2,
     .frame = {164, 185, 127}, .frame_active = {116, 140, 72}, .frame_disabled = {201, 199, 186},
     .button_outline = {55, 98, 6},
     .button_face = {{255, 255, 255}, {236, 235, 230}},
     .button_face_pressed = {{209, 204, 193}, {239, 238, 233}},
     .button_face_disabled = {245, 244, 234},
     .hot_ring = {orange_top, orange_bottom},
     .default_ring = {{222, 236, 178}, {145, 174, 80}},
     .text = black, .text_disabled = grey_text,
     .box_border = {85, 116, 40},
     .box_fill = {{220, 220, 215}, {255, 255, 255}},
     .box_fill_pressed = {{176, 176, 167}, {250, 250, 248}},
     .mark = {33, 161, 33},
     .group_frame = {208, 208, 191}, .group_text = {82, 110, 28},
     .arrow_button = {{214, 226, 176}, {150, 172, 96}},
     .arrow_button_hot = {{230, 240, 196}, {172, 194, 116}},
     .arrow_button_pressed = {{116, 138, 64}, {160, 182, 108}},
     .arrow_button_outline = {126, 148, 76},
     .arrow = {255, 255, 255}},
    {.number = 3,
     .frame = {165, 172, 181}, .frame_active = {110, 118, 140}, .frame_disabled = {201, 199, 186},
     .button_outline = {21, 66, 139},
     .button_face = {{255, 255, 255}, {220, 220, 228}},
     .button_face_pressed = {{196, 196, 206}, {236, 236, 240}},
     .button_face_disabled = {245, 244, 240},
     .hot_ring = {orange_top, orange_bottom},
     .default_ring = {{232, 232, 248}, {150, 150, 190}},
     .text = black, .text_disabled = grey_text,
     .box_border = {74, 83, 120},
     .box_fill = {{218, 218, 226}, {255, 255, 255}},
     .box_fill_pressed = {{176, 176, 188}, {250, 250, 252}},
     .mark = {76, 97, 152},
     .group_frame = {208, 208, 214}, .group_text = {63, 71, 118},
     .arrow_button = {{252, 252, 254}, {196, 198, 212}},
     .arrow_button_hot = {{255, 255, 255}, {214, 216, 230}},
     .arrow_button_pressed = {{160, 162, 182}, {206, 208, 222}},
     .arrow_button_outline = {152, 156, 176},
     .arrow = {76, 86, 120}},
}};
// clang-format on

}  // namespace

SkinKind skin_kind(const WindowFacts& window) {
    const std::string_view name = window.class_name;
    if (same_name(name, "Button")) return button_kind(window.style);
    if (same_name(name, "Edit"))  // part of a simple combo box, it is left alone with it
        return !window.host_combo_style || drops_down(*window.host_combo_style) ? SkinKind::edit
                                                                                : SkinKind::none;
    if (same_name(name, "ComboBox"))
        return drops_down(window.style) ? SkinKind::combo_box : SkinKind::none;
    if (same_name(name, "ComboLBox"))
        return window.host_combo_style && drops_down(*window.host_combo_style)
                   ? SkinKind::combo_list
                   : SkinKind::none;
    if (same_name(name, "msctls_updown32")) return SkinKind::up_down;
    return SkinKind::none;
}

const SkinScheme* skin_scheme(int number) {
    for (const SkinScheme& s : schemes)
        if (s.number == number) return &s;
    return nullptr;
}

std::vector<SkinLedger::Window> SkinLedger::switch_to(int scheme_number) {
    std::vector<Window> previous;
    previous.swap(windows_);
    scheme_ = skin_scheme(scheme_number);
    return previous;
}

bool SkinLedger::add(Window window) {
    if (!scheme_ || contains(window)) return false;
    windows_.push_back(window);
    return true;
}

bool SkinLedger::remove(Window window) {
    const auto it = std::find(windows_.begin(), windows_.end(), window);
    if (it == windows_.end()) return false;
    windows_.erase(it);
    return true;
}

bool SkinLedger::contains(Window window) const {
    return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

}  // namespace quorvel::platform
