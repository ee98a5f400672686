#include <gtest/gtest.h>

#include "doubles.h"
#include "ui/frame_layout.h"
#include "ui/main_design.h"

namespace quorvel::ui {
namespace {

using namespace test;
using namespace main_window;

struct Frame : ::testing::Test {
    Rig rig;
    Form main{design()};
    Frame() {
        main.set_event_sink([this](Form& f, ControlId, Event e) {
            if (e == Event::size_changed) {
                rig.log.push_back("layout");
                frame_layout(f, rig.desktop);
            }
        });
    }
};

struct Piece {
    ControlId id;
    Rect place;
};

TEST_F(Frame, WorkedExampleAtTheDesignedSize) {
    frame_layout(main, rig.desktop);
    const Piece expected[] = {
        {标题栏1, {0, 0, 5, 52}},   {标题栏5, {373, 0, 6, 52}},   {标题栏4, {313, 0, 60, 22}},
        {标题栏3, {308, 0, 5, 22}}, {标题栏2, {5, 0, 303, 22}},   {标题栏6, {5, 22, 368, 30}},
        {状态栏1, {0, 171, 3, 24}}, {状态栏3, {376, 171, 3, 24}}, {状态栏2, {3, 171, 373, 24}},
        {边框左, {0, 52, 3, 119}},  {边框右, {376, 52, 3, 119}},
    };
    for (const Piece& p : expected) {
        SCOPED_TRACE(main.control_design(p.id).name);
        EXPECT_EQ(main.place(p.id), p.place);
    }
    EXPECT_EQ(rig.log, (Log{"region 380,196,5,5"}));
    EXPECT_EQ(main.picture(标题栏按钮_最大化, ButtonState::pressed), Picture::maximise_pressed);
    // Controls outside the frame keep their designed places.
    EXPECT_EQ(main.place(图形按钮1), (Rect{339, 151, 36, 20}));
    EXPECT_EQ(main.place(标题栏按钮_关闭), (Rect{41, 2, 19, 17}));
}

TEST_F(Frame, MaximisedWindowIsKeptOnTheWorkAreaByANestedRun) {
    rig.desktop.zoomed = true;
    main.report_window_rect({-3, -3, 1030, 774}, 774);  // as the system maximised it
    frame_layout(main, rig.desktop);
    EXPECT_EQ(main.window_rect(), (Rect{0, 0, 1024, 738}));
    EXPECT_EQ(main.place(标题栏5), (Rect{1018, 0, 6, 52}));
    EXPECT_EQ(main.place(状态栏2), (Rect{3, 714, 1018, 24}));
    EXPECT_EQ(main.place(边框右), (Rect{1021, 52, 3, 662}));
    // Nested run gives the region first; the outer run reads the size afresh.
    EXPECT_EQ(rig.log, (Log{"layout", "region 1025,739,5,5", "region 1025,739,5,5"}));
    EXPECT_EQ(main.picture(标题栏按钮_最大化, ButtonState::normal), Picture::restore_normal);
    EXPECT_EQ(main.picture(标题栏按钮_最大化, ButtonState::hover), Picture::restore_hover);
}

TEST_F(Frame, MaximisedWindowFillsTheWorkAreaOfItsOwnMonitor) {
    rig.desktop.zoomed = true;
    rig.desktop.second = {{{1024, 0, 1280, 1024}, {1024, 0, 1280, 984}}};
    struct Case {
        const char* monitor;
        Rect maximised;  // as the system maximised it there
        Rect expected;
    };
    const Case cases[] = {
        {"second", {1021, -3, 1286, 1030}, {1024, 0, 1280, 984}},
        {"primary", {-3, -3, 1030, 774}, {0, 0, 1024, 738}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.monitor);
        main.report_window_rect(c.maximised, c.maximised.height);
        frame_layout(main, rig.desktop);
        EXPECT_EQ(main.window_rect(), c.expected);
        EXPECT_EQ(main.place(状态栏3), (Rect{c.expected.width - 3, c.expected.height - 24, 3, 24}));
    }
}

TEST_F(Frame, FailedWorkAreaQueryKeepsTheSystemSize) {
    rig.desktop.zoomed = true;
    rig.desktop.area = std::nullopt;
    main.report_window_rect({-3, -3, 1030, 774}, 774);
    frame_layout(main, rig.desktop);
    EXPECT_EQ(main.window_rect(), (Rect{-3, -3, 1030, 774}));
    EXPECT_EQ(main.place(标题栏5), (Rect{1024, 0, 6, 52}));
    EXPECT_EQ(rig.log, (Log{"region 1031,775,5,5"}));
}

TEST_F(Frame, MinimisedAndUnchangedSizes) {
    main.report_window_rect({-32000, -32000, 160, 28}, 0);
    frame_layout(main, rig.desktop);
    EXPECT_EQ(main.place(状态栏1), (Rect{0, -24, 3, 24}));
    EXPECT_EQ(main.place(边框左), (Rect{0, 52, 3, -76}));
    EXPECT_EQ(main.place(标题栏2), (Rect{5, 0, 84, 22}));

    // No change of size still rebuilds the region and sets the glyphs again.
    main.report_window_rect({0, 0, 379, 195}, 195);
    frame_layout(main, rig.desktop);
    rig.log.clear();
    const int queries = rig.desktop.zoom_queries;
    frame_layout(main, rig.desktop);
    EXPECT_EQ(rig.log, (Log{"region 380,196,5,5"}));
    EXPECT_EQ(rig.desktop.zoom_queries, queries + 2);
}

TEST_F(Frame, TitleStripBehavesLikeACaption) {
    title_drag(main, rig.desktop);
    title_double_click(main, rig.desktop);
    close_main_window(main, rig.desktop);
    EXPECT_EQ(rig.log, (Log{"release capture", "send 161,2,0", "release capture", "send 163,2,0",
                            "send 274,61536,0"}));
    rig.log.clear();
    rig.desktop.zoomed = true;
    title_drag(main, rig.desktop);  // a maximised window cannot be dragged
    EXPECT_TRUE(rig.log.empty());
}

TEST_F(Frame, TitleButtonsMaximiseRestoreAndMinimiseToTheTray) {
    toggle_maximise(main, rig.desktop);
    rig.desktop.zoomed = true;
    toggle_maximise(main, rig.desktop);
    main.set_caption("Quorvel免费版V1.0");
    minimise_to_tray(main, rig.desktop);
    main.set_text(透明标签4, "当前闹钟时间为:7时5分");
    minimise_to_tray(main, rig.desktop);
    EXPECT_EQ(rig.log, (Log{"maximise", "restore", "tray [Quorvel免费版V1.0]",
                            "tray [Quorvel免费版V1.0\n当前闹钟时间为:7时5分]"}));
}

}  // namespace
}  // namespace quorvel::ui
