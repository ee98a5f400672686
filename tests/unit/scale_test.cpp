// The geometry of both windows at the shipped display scales: the core lays
// out in device pixels, every designed length taken at DPI ÷ 96.
#include <gtest/gtest.h>

#include "doubles.h"
#include "ui/frame_layout.h"
#include "ui/main_design.h"
#include "ui/options_design.h"
#include "ui/scale.h"

namespace quorvel::ui {
namespace {

using namespace test;
namespace m = main_window;
namespace o = options_window;

struct Piece {
    ControlId id;
    Rect place;
};

struct AtScale {
    int dpi;
    Rect window;               // main window, outer
    std::vector<Piece> frame;  // after the size-changed layout
    const char* region;
    std::vector<Piece> options;  // options window controls
    std::vector<Piece> nested;   // title buttons inside their holder
};

// clang-format off
const AtScale table[] = {
    {96, {0, 0, 379, 195},
     {{m::标题栏1, {0, 0, 5, 52}}, {m::标题栏5, {373, 0, 6, 52}}, {m::标题栏4, {313, 0, 60, 22}},
      {m::标题栏3, {308, 0, 5, 22}}, {m::标题栏2, {5, 0, 303, 22}}, {m::标题栏6, {5, 22, 368, 30}},
      {m::状态栏1, {0, 171, 3, 24}}, {m::状态栏3, {376, 171, 3, 24}}, {m::状态栏2, {3, 171, 373, 24}},
      {m::边框左, {0, 52, 3, 119}}, {m::边框右, {376, 52, 3, 119}}},
     "region 380,196,5,5",
     {{o::按钮3, {176, 56, 34, 20}}, {o::按钮2, {135, 56, 34, 20}}, {o::组合框2, {160, 8, 51, 20}},
      {o::编辑框1, {64, 32, 112, 20}}},
     {{m::标题栏按钮_关闭, {41, 2, 19, 17}}, {m::标题栏按钮_最小化, {1, 2, 19, 17}}}},
    // 125 %: 2.5 and 7.5 round away from zero; touching pieces still touch.
    {120, {0, 0, 474, 244},
     {{m::标题栏1, {0, 0, 6, 65}}, {m::标题栏5, {466, 0, 8, 65}}, {m::标题栏4, {391, 0, 75, 28}},
      {m::标题栏3, {385, 0, 6, 28}}, {m::标题栏2, {6, 0, 379, 28}}, {m::标题栏6, {6, 28, 460, 37}},
      {m::状态栏1, {0, 214, 4, 30}}, {m::状态栏3, {470, 214, 4, 30}}, {m::状态栏2, {4, 214, 466, 30}},
      {m::边框左, {0, 65, 4, 149}}, {m::边框右, {470, 65, 4, 149}}},
     "region 475,245,6,6",
     {{o::按钮3, {220, 70, 43, 25}}, {o::按钮2, {169, 70, 42, 25}}, {o::组合框2, {200, 10, 64, 25}},
      {o::编辑框1, {80, 40, 140, 25}}},
     {{m::标题栏按钮_关闭, {51, 3, 24, 21}}, {m::标题栏按钮_最小化, {1, 3, 24, 21}}}},
    {144, {0, 0, 569, 293},
     {{m::标题栏1, {0, 0, 8, 78}}, {m::标题栏5, {560, 0, 9, 78}}, {m::标题栏4, {470, 0, 90, 33}},
      {m::标题栏3, {462, 0, 8, 33}}, {m::标题栏2, {8, 0, 454, 33}}, {m::标题栏6, {8, 33, 552, 45}},
      {m::状态栏1, {0, 257, 5, 36}}, {m::状态栏3, {564, 257, 5, 36}}, {m::状态栏2, {5, 257, 559, 36}},
      {m::边框左, {0, 78, 5, 179}}, {m::边框右, {564, 78, 5, 179}}},
     "region 570,294,8,8",
     {{o::按钮3, {264, 84, 51, 30}}, {o::按钮2, {203, 84, 51, 30}}, {o::组合框2, {240, 12, 77, 30}},
      {o::编辑框1, {96, 48, 168, 30}}},
     {{m::标题栏按钮_关闭, {62, 3, 28, 26}}, {m::标题栏按钮_最小化, {2, 3, 28, 26}}}},
    {192, {0, 0, 758, 390},
     {{m::标题栏1, {0, 0, 10, 104}}, {m::标题栏5, {746, 0, 12, 104}}, {m::标题栏4, {626, 0, 120, 44}},
      {m::标题栏3, {616, 0, 10, 44}}, {m::标题栏2, {10, 0, 606, 44}}, {m::标题栏6, {10, 44, 736, 60}},
      {m::状态栏1, {0, 342, 6, 48}}, {m::状态栏3, {752, 342, 6, 48}}, {m::状态栏2, {6, 342, 746, 48}},
      {m::边框左, {0, 104, 6, 238}}, {m::边框右, {752, 104, 6, 238}}},
     "region 759,391,10,10",
     {{o::按钮3, {352, 112, 68, 40}}, {o::按钮2, {270, 112, 68, 40}}, {o::组合框2, {320, 16, 102, 40}},
      {o::编辑框1, {128, 64, 224, 40}}},
     {{m::标题栏按钮_关闭, {82, 4, 38, 34}}, {m::标题栏按钮_最小化, {2, 4, 38, 34}}}},
};
// clang-format on

void expect_places(const Form& form, const std::vector<Piece>& pieces) {
    for (const Piece& p : pieces) {
        SCOPED_TRACE(form.control_design(p.id).name);
        EXPECT_EQ(form.place(p.id), p.place);
    }
}

TEST(Scale, BothWindowsAtEachShippedScale) {
    for (const AtScale& c : table) {
        SCOPED_TRACE(c.dpi);
        const Scale s(c.dpi);
        Rig rig;
        Form main{m::design()};
        main.set_scale(s);
        // As the realisation sizes the borderless window and reports it.
        const int h = s.px(m::design().height);
        main.report_window_rect({0, 0, s.px(m::design().width), h}, h);
        frame_layout(main, rig.desktop);
        EXPECT_EQ(main.window_rect(), c.window);
        expect_places(main, c.frame);
        expect_places(main, c.nested);
        EXPECT_EQ(rig.log, (Log{c.region}));

        Form options{o::design()};
        options.set_scale(s);
        expect_places(options, c.options);
    }
}

TEST(Scale, RoundsHalfAwayFromZeroAsMulDiv) {
    const Scale s(120);
    const int designed[] = {0, 1, 2, 3, 6, 22, -2, -6};
    const int device[] = {0, 1, 3, 4, 8, 28, -3, -8};
    for (std::size_t i = 0; i < std::size(designed); ++i) EXPECT_EQ(s.px(designed[i]), device[i]);
    EXPECT_EQ(s.designed(474), 379);
    EXPECT_TRUE(Scale().identity());
    EXPECT_EQ(Scale(0).dpi(), 96);  // an unknown DPI is taken as designed
}

}  // namespace
}  // namespace quorvel::ui
