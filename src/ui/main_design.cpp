#include "ui/main_design.h"

namespace quorvel::ui::main_window {
namespace {

constexpr Rgb black{0, 0, 0};
constexpr Rgb white{255, 255, 255};
constexpr Look clock_face{Font::clock_face, {0, 136, 255}, true};
constexpr Look white_text{Font::gui_default, white, false};
constexpr Look black_text{Font::gui_default, black, false};

using K = Kind;
using P = Picture;
constexpr DisplayMode natural = DisplayMode::natural;
constexpr DisplayMode stretched = DisplayMode::stretched;

// clang-format off
constexpr ControlDesign controls[] = {
//   name                 kind                    place                 shown  text         parent    look        pictures                                                                   mode
    {"图形按钮2",          K::picture_button,     {6, 3, 16, 16},       true,  "",          window_id, {},        {P::program_icon, P::program_icon, P::program_icon, P::program_icon}},
    {"编辑框2",            K::edit_box,           {208, 16, 40, 16},    false, "0"},
    {"编辑框1",            K::edit_box,           {208, 32, 40, 16},    false, ""},
    {"透明标签4",          K::transparent_label,  {8, 170, 352, 24},    true,  "",          window_id, white_text},
    {"图形按钮1",          K::picture_button,     {339, 151, 36, 20},   true,  "",          window_id, {},        {P::settings_normal, P::settings_hover, P::settings_pressed, P::settings_disabled}},
    {"按钮1",              K::button,             {88, 32, 32, 24},     false, "按钮"},
    {"透明标签3",          K::transparent_label,  {169, 48, 72, 72},    true,  "",          window_id, clock_face},
    {"时钟1",              K::timer,              {},                   false, "",          window_id, {},        {}, natural, 1000},
    {"透明标签2",          K::transparent_label,  {212, 48, 104, 104},  true,  "",          window_id, clock_face},
    {"透明标签1",          K::transparent_label,  {77, 48, 104, 104},   true,  "",          window_id, clock_face},
    {"状态栏3",            K::picture_box,        {377, 171, 3, 24},    true,  "",          window_id, {},        {P::status_right}},
    {"状态栏2",            K::picture_box,        {3, 170, 168, 24},    true,  "",          window_id, {},        {P::status_middle}, stretched},
    {"状态栏1",            K::picture_box,        {0, 170, 3, 24},      true,  "",          window_id, {},        {P::status_left}},
    {"边框右",             K::picture_box,        {377, 139, 3, 32},    true,  "",          window_id, {},        {P::border_right}, stretched},
    {"边框左",             K::picture_box,        {0, 130, 3, 40},      true,  "",          window_id, {},        {P::border_left}, stretched},
    {"标题栏按钮_关闭",    K::picture_button,     {41, 2, 19, 17},      true,  "",          标题栏4,  {},        {P::close_normal, P::close_hover, P::close_pressed}},
    {"标题栏按钮_最大化",  K::picture_button,     {21, 2, 19, 17},      true,  "",          标题栏4,  {},        {P::maximise_normal}},
    {"标题栏按钮_最小化",  K::picture_button,     {1, 2, 19, 17},       true,  "",          标题栏4,  {},        {P::minimise_normal, P::minimise_hover, P::minimise_pressed}},
    {"标题栏4",            K::picture_box,        {316, 0, 60, 22},     true,  "",          window_id, {},        {P::title_holder}, stretched},
    {"标题栏3",            K::picture_box,        {311, 0, 5, 22},      true,  "",          window_id, {},        {P::title_joint}},
    {"标题栏6",            K::label,              {5, 22, 32, 30},      true,  "",          window_id, white_text, {P::date_line}},
    {"标题栏2",            K::label,              {26, 0, 40, 22},      true,  "标签",      window_id, white_text, {P::title_strip}},
    {"标题栏5",            K::picture_box,        {376, 0, 6, 52},      true,  "",          window_id, {},        {P::title_right}},
    {"标题栏1",            K::picture_box,        {0, 0, 6, 52},        true,  "",          window_id, {},        {P::title_left}},
    {"透明标签5",          K::transparent_label,  {192, 176, 40, 16},   true,  "",          window_id, black_text},
    {"透明标签6",          K::transparent_label,  {256, 176, 48, 24},   true,  "",          window_id, black_text},
    {"透明标签7",          K::transparent_label,  {136, 8, 24, 8},      true,  "透明标签",  window_id, black_text},
    {"透明标签8",          K::transparent_label,  {160, 8, 24, 8},      true,  "透明标签",  window_id, black_text},
    {"透明标签9",          K::transparent_label,  {248, 8, 32, 8},      true,  "透明标签",  window_id, black_text},
    {"透明标签10",         K::transparent_label,  {280, 8, 32, 8},      true,  "透明标签",  window_id, black_text},
};
// clang-format on

constexpr WindowDesign main{"main", "", 379, 195, black, false, true, controls};

}  // namespace

const WindowDesign& design() {
    return main;
}

}  // namespace quorvel::ui::main_window
