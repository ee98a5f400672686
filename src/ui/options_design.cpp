#include "ui/options_design.h"

namespace quorvel::ui::options_window {
namespace {

constexpr Look black_text{Font::gui_default, {0, 0, 0}, false};
using K = Kind;

// clang-format off
constexpr ControlDesign controls[] = {
//   name            kind                    place                shown  text                      parent     look        pictures mode                   timer item_count
    {"通用对话框1",  K::file_dialog,         {},                  false, ""},
    {"按钮3",        K::button,              {176, 56, 34, 20},   true,  "关机"},
    {"按钮2",        K::button,              {135, 56, 34, 20},   true,  "闹钟"},
    {"透明标签4",    K::transparent_label,   {8, 56, 120, 24},    true,  "提醒类型：闹钟/关机",   window_id, black_text},
    {"按钮1",        K::button,              {178, 32, 32, 20},   true,  "..."},
    {"编辑框1",      K::edit_box,            {64, 32, 112, 20},   true,  ""},
    {"透明标签3",    K::transparent_label,   {8, 32, 64, 16},     true,  "提醒音乐：",            window_id, black_text},
    {"透明标签2",    K::transparent_label,   {8, 4, 78, 24},      true,  "关机时间：时",          window_id, black_text},
    {"透明标签1",    K::transparent_label,   {142, 5, 16, 24},    true,  "分",                    window_id, black_text},
    {"组合框2",      K::combo_box,           {160, 8, 51, 20},    true,  "",                      window_id, {},         {},      DisplayMode::natural, 0,    61},
    {"组合框1",      K::combo_box,           {83, 8, 48, 20},     true,  "",                      window_id, {},         {},      DisplayMode::natural, 0,    25},
};
// clang-format on

constexpr WindowDesign options{"options",       "选项设置", 218,  108,
                               {162, 199, 240}, true,       true, controls};

}  // namespace

const WindowDesign& design() {
    return options;
}

}  // namespace quorvel::ui::options_window
