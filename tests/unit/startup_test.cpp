#include <gtest/gtest.h>

#include "app/app.h"
#include "app/loading.h"
#include "doubles.h"
#include "ui/main_design.h"

namespace quorvel::app {
namespace {

using namespace test;
namespace m = ui::main_window;

struct Startup : ::testing::Test {
    Rig rig;
    App app{rig.services};
    RecordingView view{rig.log, app.main};
    Startup() { app.main.attach(&view); }
};

TEST_F(Startup, CreatedHandlerRunsInItsOrderBeforeTheWindowShows) {
    rig.windows.on_loop = [&] { rig.log.push_back("running"); };
    run(app);
    const Log& log = rig.log;
    const long create = index_of(log, "create main");
    const long controls = index_of(log, "show controls main");
    const long skin = index_of(log, "skin 1");
    const long caption = index_of(log, "caption Quorvel免费版V1.0");
    const long title = index_of(log, "text 标题栏2=");
    const long glyphs = index_of(log, "picture 标题栏按钮_最大化");
    const long date = index_of(log, "text 标题栏6=");
    const long page = index_of(log, "open file:///C:/quorvel/help.html");
    const long layout = index_of(log, "move 标题栏1");
    const long shown = index_of(log, "show main");
    const long loop = index_of(log, "loop");
    for (long i : {create, controls, skin, caption, title, glyphs, date, page, layout, shown, loop})
        ASSERT_GE(i, 0);
    EXPECT_LT(create, controls);
    EXPECT_LT(controls, skin);
    EXPECT_LT(skin, caption);
    EXPECT_LT(caption, title);
    EXPECT_LT(title, glyphs);
    EXPECT_LT(glyphs, date);
    EXPECT_LT(date, page);
    EXPECT_LT(page, layout);  // size changed comes after created
    EXPECT_LT(layout, shown);
    EXPECT_LT(shown, loop);
    EXPECT_EQ(count(log, "open file:///C:/quorvel/help.html"), 1);
}

TEST_F(Startup, TitleStripHoldsExactlyFourSpacesAndTheCaption) {
    run(app);
    EXPECT_EQ(app.main.caption(), "Quorvel免费版V1.0");
    EXPECT_EQ(app.main.text(m::标题栏2), "    Quorvel免费版V1.0");
    EXPECT_EQ(app.main.text(m::标题栏6), " 现在是：2011年4月15日");
    EXPECT_EQ(app.main.picture(m::标题栏按钮_最大化, ui::ButtonState::hover),
              ui::Picture::maximise_hover);
    // The first tick has not come: the current-time fields keep their design.
    EXPECT_EQ(app.main.text(m::透明标签9), "透明标签");
    EXPECT_EQ(app.main.text(m::编辑框2), "0");
}

TEST_F(Startup, NormalEndQuitsWithZeroAndStopsTheSound) {
    rig.windows.on_loop = [&] { app.main.report_destroyed(); };
    EXPECT_EQ(run(app), 0);
    EXPECT_TRUE(contains(rig.log, "quit 0"));
    EXPECT_EQ(rig.log.back(), "stop sound");
}

TEST_F(Startup, LoadFailureEndsWithMinusOneAndAReport) {
    rig.windows.create_fails = true;
    EXPECT_EQ(run(app), -1);
    EXPECT_FALSE(rig.windows.fatal.empty());
    EXPECT_FALSE(contains(rig.log, "loop"));
    EXPECT_FALSE(contains(rig.log, "skin 1"));
}

TEST_F(Startup, WindowDestroyedBeforeTheLoopSkipsItWithoutQuitting) {
    // Destroyed by its own created handler's work, e.g. a close from outside.
    rig.desktop.on_send = nullptr;
    app.main.set_event_sink([&](ui::Form& f, ui::ControlId, ui::Event e) {
        if (e == ui::Event::created) f.report_destroyed();
        if (e == ui::Event::destroyed) app.lifecycle.window_destroyed();
    });
    EXPECT_EQ(run(app), 0);
    EXPECT_FALSE(contains(rig.log, "quit 0"));
    EXPECT_FALSE(contains(rig.log, "loop"));
    EXPECT_FALSE(contains(rig.log, "show main"));
}

TEST_F(Startup, OptionsWindowFailingToCreateLeavesTheProgramRunning) {
    rig.windows.on_loop = [&] {
        rig.windows.create_destroys = true;
        open_options_window(app);
    };
    run(app);
    EXPECT_FALSE(contains(rig.log, "quit 0"));
    EXPECT_FALSE(contains(rig.log, "modal begins"));
    EXPECT_TRUE(app.lifecycle.any_alive());
    EXPECT_EQ(app.options, nullptr);
}

TEST(EndingRule, QuitsOnlyWhenTheLastWindowGoesAfterTheLoopStarted) {
    Log log;
    FakeWindows windows{log};
    Lifecycle life{windows};
    life.window_loaded();
    life.window_destroyed();  // before the loop: no quit
    EXPECT_FALSE(windows.quit_code);
    life.start_loop();
    life.window_loaded();  // main
    life.window_loaded();  // options
    life.window_destroyed();
    EXPECT_FALSE(windows.quit_code);
    life.window_destroyed();
    EXPECT_EQ(windows.quit_code, 0);
}

TEST(Loading, EventsStopOnceTheWindowIsGone) {
    Log log;
    FakeWindows windows{log};
    Lifecycle life{windows};
    ui::Form form{m::design()};
    std::vector<ui::Event> seen;
    form.set_event_sink([&](ui::Form& f, ui::ControlId, ui::Event e) {
        seen.push_back(e);
        if (e == ui::Event::position_changed) f.report_destroyed();
    });
    EXPECT_TRUE(load_window(form, windows, life));
    EXPECT_EQ(seen, (std::vector<ui::Event>{ui::Event::created, ui::Event::position_changed,
                                            ui::Event::destroyed}));
    EXPECT_FALSE(contains(log, "show main"));
}

TEST_F(Startup, HiddenButtonRefreshesTheDateLine) {
    run(app);
    rig.clock.time = {2011, 12, 31, 9, 0, 0};
    app.main.raise(ui::Event::click, m::按钮1);
    EXPECT_EQ(app.main.text(m::标题栏6), " 现在是：2011年12月31日");
}

}  // namespace
}  // namespace quorvel::app
