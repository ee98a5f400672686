// Instructions per clock tick of the core, counted by callgrind: the tick
// against do-nothing services, next to a bare loop as the reference.
//   tick_bench ticks [bare]
#include <cstdlib>
#include <string>

#include "clock/clock_tick.h"
#include "ui/form.h"
#include "ui/main_design.h"

namespace {

using namespace quorvel;

struct Clock final : platform::Clock {
    platform::LocalTime t{2011, 4, 15, 7, 4, 0};
    platform::LocalTime now() override {
        if (++t.second == 60) t.second = 0, ++t.minute;
        if (t.minute == 60) t.minute = 0, t.hour = (t.hour + 1) % 24;
        return t;
    }
};
struct Timer final : platform::OneShotTimer {
    void start(int, std::function<void()> due) override { due(); }
    void cancel() override {}
};
struct Quiet final : platform::Sound,
                     platform::AlarmBox,
                     platform::Power,
                     platform::Shell,
                     platform::Wake {
    void play(const std::string&, int) override {}
    void stop_all() override {}
    void show(const std::string&, const std::string&) override {}
    void force_shutdown() override {}
    void open(const std::string&) override {}
    void arm(const platform::LocalTime&) override {}
    void cancel() override {}
    void hold_awake(bool) override {}
};

}  // namespace

int main(int argc, char** argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 1000;
    volatile long sink = 0;
    if (argc > 2) {  // the bare reference: the loop alone
        for (long i = 0; i < ticks; ++i) sink = sink + i;
        return 0;
    }
    Clock clock;
    Timer timer;
    Quiet quiet;
    ui::Form main{ui::main_window::design()};
    struct : platform::Desktop {
        bool is_zoomed(std::uintptr_t) override { return false; }
        std::optional<ui::Rect> work_area_of(const ui::Rect&) override { return {}; }
        void set_round_region(std::uintptr_t, int, int, int, int) override {}
        void apply_control_skin(int) override {}
        void release_capture() override {}
        void send_message(std::uintptr_t, unsigned, std::uintptr_t, std::intptr_t) override {}
        void set_maximised(std::uintptr_t, bool) override {}
        void hide_to_tray(std::uintptr_t, const std::string&) override {}
        void warn(const std::string&) override {}
    } desktop;
    struct : platform::Windows {
        bool create(ui::Form&) override { return true; }
        void show_controls(ui::Form&) override {}
        void show(ui::Form&) override {}
        void run_modal(ui::Form&) override {}
        void close_later(ui::Form&) override {}
        std::optional<std::string> open_file(const ui::options_window::FileDialogSettings&,
                                             const std::string&) override {
            return {};
        }
        int run_loop() override { return 0; }
        void post_quit(int) override {}
        void report_fatal(const std::string&) override {}
    } windows;
    platform::Services s{clock, timer, quiet, quiet, quiet, quiet, quiet, desktop, windows, ""};
    for (long i = 0; i < ticks; ++i) clock::clock_tick(main, s);
    sink = static_cast<long>(main.text(ui::main_window::透明标签2).size());
    return 0;
}
