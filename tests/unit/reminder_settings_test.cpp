#include <gtest/gtest.h>

#include "app/app.h"
#include "doubles.h"
#include "reminders/reminder_settings.h"
#include "ui/main_design.h"
#include "ui/options_design.h"

namespace quorvel::reminders {
namespace {

using namespace test;
namespace m = ui::main_window;
namespace o = ui::options_window;

struct Settings : ::testing::Test {
    Rig rig;
    app::App app{rig.services};
    // Opens the options window and lets `user` act in it, as a modal loop would.
    void open(std::function<void(ui::Form&)> user) {
        rig.windows.while_modal = std::move(user);
        app.main.raise(ui::Event::click, m::图形按钮1);
    }
    static void pick(ui::Form& options, int hour, int minute) {
        options.report_selection(o::组合框1, hour);
        options.report_selection(o::组合框2, minute);
    }
};

TEST_F(Settings, SetAlarmWritesFieldsStatusAndClosesTheWindow) {
    open([&](ui::Form& options) {
        pick(options, 7, 5);
        options.raise(ui::Event::click, o::按钮2);
        EXPECT_TRUE(options.alive());  // the close is deferred
    });
    EXPECT_EQ(app.main.text(m::透明标签5), "7");
    EXPECT_EQ(app.main.text(m::透明标签6), "5");
    EXPECT_EQ(app.main.text(m::透明标签4), "当前闹钟时间为:7时5分");
    EXPECT_EQ(app.main.text(m::编辑框2), "0");
    EXPECT_FALSE(app.options);
    const long skin = index_of(rig.log, "skin 1");
    EXPECT_GE(skin, 0);
    EXPECT_LT(index_of(rig.log, "create options"), skin);
    EXPECT_LT(skin, index_of(rig.log, "show options"));
    EXPECT_LT(index_of(rig.log, "show options"), index_of(rig.log, "modal begins"));
}

TEST_F(Settings, SetShutdownThenAlarmKeepsBoth) {
    open([&](ui::Form& options) {
        pick(options, 0, 0);
        options.raise(ui::Event::click, o::按钮3);
    });
    EXPECT_EQ(app.main.text(m::编辑框2), "关机");
    EXPECT_EQ(app.main.text(m::透明标签7), "0");
    EXPECT_EQ(app.main.text(m::透明标签8), "0");
    EXPECT_EQ(app.main.text(m::透明标签4), "当前关机时间为:0时0分");
    open([&](ui::Form& options) {
        pick(options, 24, 60);
        options.raise(ui::Event::click, o::按钮2);
    });
    EXPECT_EQ(app.main.text(m::编辑框2), "关机");
    EXPECT_EQ(app.main.text(m::透明标签5), "24");
    EXPECT_EQ(app.main.text(m::透明标签6), "60");
    EXPECT_EQ(app.main.text(m::透明标签4), "当前闹钟时间为:24时60分");
    open([&](ui::Form& options) {
        pick(options, 22, 30);
        options.raise(ui::Event::click, o::按钮3);
    });
    EXPECT_EQ(app.main.text(m::透明标签7), "22");
    EXPECT_EQ(app.main.text(m::透明标签8), "30");
}

TEST_F(Settings, NoSelectionGivesMinusOneAndEveryOpeningStartsEmpty) {
    open([&](ui::Form& options) {
        pick(options, 7, 5);
        options.report_text(o::编辑框1, "typed");
        options.report_destroyed();  // its own close box: nothing written
    });
    EXPECT_EQ(app.main.text(m::透明标签4), "");
    open([&](ui::Form& options) {
        EXPECT_EQ(options.selection(o::组合框1), -1);
        EXPECT_EQ(options.selection(o::组合框2), -1);
        EXPECT_EQ(options.text(o::编辑框1), "");
        EXPECT_EQ(options.text(o::通用对话框1), "");
        options.raise(ui::Event::click, o::按钮2);
    });
    EXPECT_EQ(app.main.text(m::透明标签5), "-1");
    EXPECT_EQ(app.main.text(m::透明标签6), "-1");
    EXPECT_EQ(app.main.text(m::透明标签4), "当前闹钟时间为:-1时-1分");
}

TEST_F(Settings, ChooseMusicCopiesAConfirmedPathAndACancelKeepsIt) {
    const std::string path = "C:\\users\\me\\我的 音乐\\起床 mix.mp3";
    rig.windows.file_answers = {path, std::nullopt};
    open([&](ui::Form& options) {
        options.raise(ui::Event::click, o::按钮1);
        EXPECT_EQ(options.text(o::编辑框1), path);
        options.raise(ui::Event::click, o::按钮1);  // cancelled
        EXPECT_EQ(options.text(o::编辑框1), path);
        EXPECT_TRUE(options.alive());
        options.report_destroyed();
    });
    EXPECT_EQ(app.main.text(m::编辑框1), path);
    EXPECT_TRUE(contains(rig.log, "file dialog 请选择提醒音乐 []"));
    EXPECT_TRUE(contains(rig.log, "file dialog 请选择提醒音乐 [" + path + "]"));

    // A later opening cancelled: the earlier choice stays on the main window.
    rig.windows.file_answers = {std::nullopt};
    open([&](ui::Form& options) {
        options.raise(ui::Event::click, o::按钮1);
        options.report_destroyed();
    });
    EXPECT_EQ(app.main.text(m::编辑框1), path);
}

TEST_F(Settings, MainWindowGoneWhileOptionsOpen) {
    app.lifecycle.window_loaded();  // the main window, running
    app.lifecycle.start_loop();
    open([&](ui::Form& options) {
        app.main.report_destroyed();  // the alarm fired meanwhile
        pick(options, 8, 0);
        options.raise(ui::Event::click, o::按钮3);
        options.raise(ui::Event::click, o::按钮2);
    });
    EXPECT_EQ(app.main.text(m::编辑框2), "0");
    EXPECT_EQ(app.main.text(m::透明标签4), "");
    // The program ends only when the options window has gone too.
    EXPECT_GT(index_of(rig.log, "quit 0"), index_of(rig.log, "close later options"));
    EXPECT_EQ(count(rig.log, "quit 0"), 1);
}

}  // namespace
}  // namespace quorvel::reminders
