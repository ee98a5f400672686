// The main window as designed: a borderless 379 x 195 clock with a skinned
// frame, the clock face, the date and status lines, and the reminder fields.
#pragma once

#include "ui/design.h"

namespace quorvel::ui::main_window {

// Rows of the controls table, topmost first.
inline constexpr ControlId 图形按钮2{1};
inline constexpr ControlId 编辑框2{2};    // reminder field: shutdown marker
inline constexpr ControlId 编辑框1{3};    // reminder field: music path
inline constexpr ControlId 透明标签4{4};  // status line
inline constexpr ControlId 图形按钮1{5};  // settings
inline constexpr ControlId 按钮1{6};
inline constexpr ControlId 透明标签3{7};  // clock face: colon
inline constexpr ControlId 时钟1{8};
inline constexpr ControlId 透明标签2{9};   // clock face: minute
inline constexpr ControlId 透明标签1{10};  // clock face: hour
inline constexpr ControlId 状态栏3{11};
inline constexpr ControlId 状态栏2{12};
inline constexpr ControlId 状态栏1{13};
inline constexpr ControlId 边框右{14};
inline constexpr ControlId 边框左{15};
inline constexpr ControlId 标题栏按钮_关闭{16};
inline constexpr ControlId 标题栏按钮_最大化{17};
inline constexpr ControlId 标题栏按钮_最小化{18};
inline constexpr ControlId 标题栏4{19};
inline constexpr ControlId 标题栏3{20};
inline constexpr ControlId 标题栏6{21};  // date line
inline constexpr ControlId 标题栏2{22};  // title strip
inline constexpr ControlId 标题栏5{23};
inline constexpr ControlId 标题栏1{24};
inline constexpr ControlId 透明标签5{25};   // alarm hour
inline constexpr ControlId 透明标签6{26};   // alarm minute
inline constexpr ControlId 透明标签7{27};   // shutdown hour
inline constexpr ControlId 透明标签8{28};   // shutdown minute
inline constexpr ControlId 透明标签9{29};   // current hour
inline constexpr ControlId 透明标签10{30};  // current minute

const WindowDesign& design();

}  // namespace quorvel::ui::main_window
