#include <gtest/gtest.h>

#include <string>

#include "ui/main_design.h"
#include "ui/options_design.h"

namespace quorvel::ui {
namespace {

struct Row {
    ControlId id;
    const char* name;
    Kind kind;
    Rect place;
    bool shown;
    const char* text;
};

namespace m = main_window;

// The controls table of the main window, topmost first.
const Row main_rows[] = {
    {m::图形按钮2, "图形按钮2", Kind::picture_button, {6, 3, 16, 16}, true, ""},
    {m::编辑框2, "编辑框2", Kind::edit_box, {208, 16, 40, 16}, false, "0"},
    {m::编辑框1, "编辑框1", Kind::edit_box, {208, 32, 40, 16}, false, ""},
    {m::透明标签4, "透明标签4", Kind::transparent_label, {8, 170, 352, 24}, true, ""},
    {m::图形按钮1, "图形按钮1", Kind::picture_button, {339, 151, 36, 20}, true, ""},
    {m::按钮1, "按钮1", Kind::button, {88, 32, 32, 24}, false, "按钮"},
    {m::透明标签3, "透明标签3", Kind::transparent_label, {169, 48, 72, 72}, true, ""},
    {m::时钟1, "时钟1", Kind::timer, {}, false, ""},
    {m::透明标签2, "透明标签2", Kind::transparent_label, {212, 48, 104, 104}, true, ""},
    {m::透明标签1, "透明标签1", Kind::transparent_label, {77, 48, 104, 104}, true, ""},
    {m::状态栏3, "状态栏3", Kind::picture_box, {377, 171, 3, 24}, true, ""},
    {m::状态栏2, "状态栏2", Kind::picture_box, {3, 170, 168, 24}, true, ""},
    {m::状态栏1, "状态栏1", Kind::picture_box, {0, 170, 3, 24}, true, ""},
    {m::边框右, "边框右", Kind::picture_box, {377, 139, 3, 32}, true, ""},
    {m::边框左, "边框左", Kind::picture_box, {0, 130, 3, 40}, true, ""},
    {m::标题栏按钮_关闭, "标题栏按钮_关闭", Kind::picture_button, {41, 2, 19, 17}, true, ""},
    {m::标题栏按钮_最大化, "标题栏按钮_最大化", Kind::picture_button, {21, 2, 19, 17}, true, ""},
    {m::标题栏按钮_最小化, "标题栏按钮_最小化", Kind::picture_button, {1, 2, 19, 17}, true, ""},
    {m::标题栏4, "标题栏4", Kind::picture_box, {316, 0, 60, 22}, true, ""},
    {m::标题栏3, "标题栏3", Kind::picture_box, {311, 0, 5, 22}, true, ""},
    {m::标题栏6, "标题栏6", Kind::label, {5, 22, 32, 30}, true, ""},
    {m::标题栏2, "标题栏2", Kind::label, {26, 0, 40, 22}, true, "标签"},
    {m::标题栏5, "标题栏5", Kind::picture_box, {376, 0, 6, 52}, true, ""},
    {m::标题栏1, "标题栏1", Kind::picture_box, {0, 0, 6, 52}, true, ""},
    {m::透明标签5, "透明标签5", Kind::transparent_label, {192, 176, 40, 16}, true, ""},
    {m::透明标签6, "透明标签6", Kind::transparent_label, {256, 176, 48, 24}, true, ""},
    {m::透明标签7, "透明标签7", Kind::transparent_label, {136, 8, 24, 8}, true, "透明标签"},
    {m::透明标签8, "透明标签8", Kind::transparent_label, {160, 8, 24, 8}, true, "透明标签"},
    {m::透明标签9, "透明标签9", Kind::transparent_label, {248, 8, 32, 8}, true, "透明标签"},
    {m::透明标签10, "透明标签10", Kind::transparent_label, {280, 8, 32, 8}, true, "透明标签"},
};

TEST(MainDesign, ControlsTableInStackingOrder) {
    const WindowDesign& d = m::design();
    ASSERT_EQ(d.controls.size(), std::size(main_rows));
    for (std::size_t i = 0; i < std::size(main_rows); ++i) {
        const Row& r = main_rows[i];
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.id.row, static_cast<int>(i + 1));
        const ControlDesign& c = d[r.id];
        EXPECT_STREQ(c.name, r.name);
        EXPECT_EQ(c.kind, r.kind);
        EXPECT_EQ(c.place, r.place);
        EXPECT_EQ(c.shown, r.shown);
        EXPECT_STREQ(c.text, r.text);
        const bool in_holder = r.id == m::标题栏按钮_关闭 || r.id == m::标题栏按钮_最大化 ||
                               r.id == m::标题栏按钮_最小化;
        EXPECT_EQ(c.parent, in_holder ? m::标题栏4 : window_id);
    }
}

TEST(MainDesign, WindowAndLooks) {
    const WindowDesign& d = m::design();
    EXPECT_EQ(d.width, 379);
    EXPECT_EQ(d.height, 195);
    EXPECT_EQ(d.background, (Rgb{0, 0, 0}));
    EXPECT_FALSE(d.framed);
    EXPECT_EQ(d[m::时钟1].timer_period_ms, 1000);

    const Look face{Font::clock_face, {0, 136, 255}, true};
    for (ControlId id : {m::透明标签1, m::透明标签2, m::透明标签3}) EXPECT_EQ(d[id].look, face);
    const Look white{Font::gui_default, {255, 255, 255}, false};
    for (ControlId id : {m::透明标签4, m::标题栏2, m::标题栏6}) EXPECT_EQ(d[id].look, white);
    for (int row = m::透明标签5.row; row <= m::透明标签10.row; ++row)
        EXPECT_EQ(d[ControlId{row}].look, (Look{Font::gui_default, {0, 0, 0}, false}));
}

TEST(MainDesign, PicturesAndDisplayModes) {
    const WindowDesign& d = m::design();
    struct Box {
        ControlId id;
        Picture picture;
        DisplayMode mode;
    };
    const Box boxes[] = {
        {m::标题栏1, Picture::title_left, DisplayMode::natural},
        {m::标题栏5, Picture::title_right, DisplayMode::natural},
        {m::标题栏3, Picture::title_joint, DisplayMode::natural},
        {m::标题栏4, Picture::title_holder, DisplayMode::stretched},
        {m::状态栏1, Picture::status_left, DisplayMode::natural},
        {m::状态栏3, Picture::status_right, DisplayMode::natural},
        {m::状态栏2, Picture::status_middle, DisplayMode::stretched},
        {m::边框左, Picture::border_left, DisplayMode::stretched},
        {m::边框右, Picture::border_right, DisplayMode::stretched},
        {m::标题栏2, Picture::title_strip, DisplayMode::natural},
        {m::标题栏6, Picture::date_line, DisplayMode::natural},
    };
    for (const Box& b : boxes) {
        SCOPED_TRACE(d[b.id].name);
        EXPECT_EQ(d[b.id].pictures[0], b.picture);
        EXPECT_EQ(d[b.id].mode, b.mode);
    }
    EXPECT_EQ(d[m::图形按钮1].pictures[3], Picture::settings_disabled);
    EXPECT_EQ(d[m::标题栏按钮_最大化].pictures[0], Picture::maximise_normal);
    EXPECT_EQ(d[m::标题栏按钮_最大化].pictures[1], Picture::none);
    for (Picture p : d[m::图形按钮2].pictures) EXPECT_EQ(p, Picture::program_icon);
}

TEST(OptionsDesign, ControlsAndLists) {
    namespace o = options_window;
    const WindowDesign& d = o::design();
    EXPECT_STREQ(d.caption, "选项设置");
    EXPECT_EQ(d.width, 218);
    EXPECT_EQ(d.height, 108);
    EXPECT_EQ(d.background, (Rgb{162, 199, 240}));
    EXPECT_TRUE(d.framed);
    ASSERT_EQ(d.controls.size(), 11u);
    EXPECT_EQ(d[o::通用对话框1].kind, Kind::file_dialog);
    EXPECT_STREQ(d[o::按钮3].text, "关机");
    EXPECT_EQ(d[o::按钮3].place, (Rect{176, 56, 34, 20}));
    EXPECT_STREQ(d[o::按钮2].text, "闹钟");
    EXPECT_STREQ(d[o::按钮1].text, "...");
    EXPECT_EQ(d[o::编辑框1].place, (Rect{64, 32, 112, 20}));
    EXPECT_STREQ(d[o::透明标签2].text, "关机时间：时");
    EXPECT_EQ(d[o::组合框1].item_count, 25);
    EXPECT_EQ(d[o::组合框1].place, (Rect{83, 8, 48, 20}));
    EXPECT_EQ(d[o::组合框2].item_count, 61);
    EXPECT_EQ(d[o::组合框2].place, (Rect{160, 8, 51, 20}));
    EXPECT_STREQ(o::music_dialog.title, "请选择提醒音乐");
    EXPECT_STREQ(o::music_dialog.default_extension, "mp3");
}

}  // namespace
}  // namespace quorvel::ui
