// The options window as designed: hour and minute lists, the music path with
// its file dialog, and the two reminder buttons.
#pragma once

#include "ui/design.h"

namespace quorvel::ui::options_window {

inline constexpr ControlId 通用对话框1{1};
inline constexpr ControlId 按钮3{2};  // 关机
inline constexpr ControlId 按钮2{3};  // 闹钟
inline constexpr ControlId 透明标签4{4};
inline constexpr ControlId 按钮1{5};  // ...
inline constexpr ControlId 编辑框1{6};
inline constexpr ControlId 透明标签3{7};
inline constexpr ControlId 透明标签2{8};
inline constexpr ControlId 透明标签1{9};
inline constexpr ControlId 组合框2{10};  // minute
inline constexpr ControlId 组合框1{11};  // hour

// Settings of 通用对话框1.
struct FileDialogSettings {
    const char* title;
    const char* filter_description;
    const char* filter_pattern;
    const char* default_extension;  // without the dot, as the system wants it
};
inline constexpr FileDialogSettings music_dialog{"请选择提醒音乐", "MP3 (*.mp3)", "*.mp3", "mp3"};

const WindowDesign& design();

}  // namespace quorvel::ui::options_window
