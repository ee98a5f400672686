// Test doubles of the platform services. They record what was asked, in one
// shared log where the order across services matters, and can run nested
// work inside blocking calls so re-entry is exercised for real.
#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "platform/services.h"
#include "ui/form.h"

namespace quorvel::test {

using Log = std::vector<std::string>;

struct FakeClock final : platform::Clock {
    platform::LocalTime time{2011, 4, 15, 7, 4, 40};
    int readings = 0;
    platform::LocalTime now() override {
        ++readings;
        return time;
    }
    void set(int hour, int minute, int second = 0) {
        time.hour = hour, time.minute = minute, time.second = second;
    }
};

struct FakeTimer final : platform::OneShotTimer {
    std::function<void()> pending;
    int period = 0;
    int starts = 0;
    void start(int ms, std::function<void()> due) override {
        period = ms;
        ++starts;
        pending = std::move(due);
    }
    void cancel() override { pending = nullptr; }
    void fire() {
        auto due = std::move(pending);
        pending = nullptr;
        if (due) due();
    }
};

struct RecordingSound final : platform::Sound {
    Log& log;
    explicit RecordingSound(Log& l) : log(l) {}
    void play(const std::string& path, int times) override {
        log.push_back("play " + std::to_string(times) + " [" + path + "]");
    }
    void stop_all() override { log.push_back("stop sound"); }
};

struct ScriptedAlarmBox final : platform::AlarmBox {
    Log& log;
    std::function<void()> while_open;  // runs nested, as the box's own loop would
    explicit ScriptedAlarmBox(Log& l) : log(l) {}
    void show(const std::string& text, const std::string& title) override {
        log.push_back("box " + text + " | " + title);
        if (while_open) while_open();
        log.push_back("box dismissed");
    }
};

struct RecordingPower final : platform::Power {
    Log& log;
    int requests = 0;
    explicit RecordingPower(Log& l) : log(l) {}
    void force_shutdown() override {
        ++requests;
        log.push_back("shutdown");
    }
};

// Its own log: existing sequences of the shared one stay as they were.
struct RecordingWake final : platform::Wake {
    Log log;
    static std::string text(const platform::LocalTime& t) {
        char s[32];
        std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                      t.minute);
        return s;
    }
    void arm(const platform::LocalTime& due) override { log.push_back(text(due)); }
    void cancel() override { log.push_back("cancel"); }
    void hold_awake(bool hold) override { log.push_back(hold ? "hold" : "release"); }
};

struct RecordingShell final : platform::Shell {
    Log& log;
    explicit RecordingShell(Log& l) : log(l) {}
    void open(const std::string& address) override { log.push_back("open " + address); }
};

struct FakeDesktop final : platform::Desktop {
    Log& log;
    bool zoomed = false;
    std::optional<ui::Rect> area = ui::Rect{0, 0, 1024, 738};  // the primary monitor's
    // A second monitor to the right of the primary: its bounds and work area.
    std::optional<std::pair<ui::Rect, ui::Rect>> second;
    int zoom_queries = 0;
    explicit FakeDesktop(Log& l) : log(l) {}

    bool is_zoomed(std::uintptr_t) override {
        ++zoom_queries;
        return zoomed;
    }
    std::optional<ui::Rect> work_area_of(const ui::Rect& w) override {
        const int cx = w.left + w.width / 2, cy = w.top + w.height / 2;
        if (area && second) {
            const ui::Rect& b = second->first;
            if (cx >= b.left && cx < b.left + b.width && cy >= b.top && cy < b.top + b.height)
                return second->second;
        }
        return area;
    }
    void set_round_region(std::uintptr_t, int right, int bottom, int ew, int eh) override {
        log.push_back("region " + std::to_string(right) + "," + std::to_string(bottom) + "," +
                      std::to_string(ew) + "," + std::to_string(eh));
    }
    void apply_control_skin(int scheme) override {
        log.push_back("skin " + std::to_string(scheme));
    }
    void release_capture() override { log.push_back("release capture"); }
    void set_maximised(std::uintptr_t, bool m) override {
        log.push_back(m ? "maximise" : "restore");
    }
    void hide_to_tray(std::uintptr_t, const std::string& tip) override {
        log.push_back("tray [" + tip + "]");
    }
    void warn(const std::string& text) override { log.push_back("warn " + text); }
    void send_message(std::uintptr_t, unsigned message, std::uintptr_t w,
                      std::intptr_t l) override {
        log.push_back("send " + std::to_string(message) + "," + std::to_string(w) + "," +
                      std::to_string(l));
        if (on_send) on_send(message, w);
    }
    std::function<void(unsigned, std::uintptr_t)> on_send;
};

// Windows without a system: forms live only as models; deferred closes wait
// in a queue until the test lets the "message loop" run them.
struct FakeWindows final : platform::Windows {
    Log& log;
    bool create_fails = false;
    bool create_destroys = false;  // the window goes while being created
    std::deque<ui::Form*> closing;
    std::vector<std::optional<std::string>> file_answers;  // consumed front first
    std::function<void(ui::Form&)> while_modal;
    std::optional<int> quit_code;
    std::string fatal;

    explicit FakeWindows(Log& l) : log(l) {}

    bool create(ui::Form& form) override {
        log.push_back(std::string("create ") + form.design().name);
        if (create_destroys) {
            form.report_destroyed();
            return false;
        }
        return !create_fails;
    }
    void show_controls(ui::Form& form) override {
        log.push_back(std::string("show controls ") + form.design().name);
    }
    void show(ui::Form& form) override { log.push_back(std::string("show ") + form.design().name); }
    void run_modal(ui::Form& form) override {
        log.push_back("modal begins");
        if (while_modal) while_modal(form);
        run_deferred();
        log.push_back("modal ends");
    }
    void close_later(ui::Form& form) override {
        log.push_back(std::string("close later ") + form.design().name);
        closing.push_back(&form);
    }
    std::optional<std::string> open_file(const ui::options_window::FileDialogSettings& s,
                                         const std::string& initial) override {
        log.push_back(std::string("file dialog ") + s.title + " [" + initial + "]");
        if (file_answers.empty()) return std::nullopt;
        auto answer = file_answers.front();
        file_answers.erase(file_answers.begin());
        return answer;
    }
    int run_loop() override {
        log.push_back("loop");
        if (on_loop) on_loop();
        return quit_code.value_or(99);
    }
    void post_quit(int code) override {
        log.push_back("quit " + std::to_string(code));
        quit_code = code;
    }
    void report_fatal(const std::string& message) override { fatal = message; }

    void run_deferred() {
        while (!closing.empty()) {
            ui::Form* f = closing.front();
            closing.pop_front();
            f->report_destroyed();
        }
    }
    std::function<void()> on_loop;
};

// Everything a test needs to run the program's handlers against doubles.
struct Rig {
    Log log;
    FakeClock clock;
    FakeTimer colon;
    RecordingSound sound{log};
    ScriptedAlarmBox box{log};
    RecordingPower power{log};
    RecordingWake wake;
    RecordingShell shell{log};
    FakeDesktop desktop{log};
    FakeWindows windows{log};
    platform::Services services{clock, colon, sound,   box,     power,
                                wake,  shell, desktop, windows, "file:///C:/quorvel/help.html"};
};

// Records every change a form reports to its view, in the rig's log.
struct RecordingView final : ui::FormView {
    Log& log;
    ui::Form& form;
    RecordingView(Log& l, ui::Form& f) : log(l), form(f) {}
    RecordingView(const RecordingView&) = delete;
    RecordingView& operator=(const RecordingView&) = delete;
    ~RecordingView() override { form.attach(nullptr); }  // as a window that goes first
    void text_changed(ui::ControlId id, const std::string& text) override {
        log.push_back(std::string("text ") + form.control_design(id).name + "=" + text);
    }
    void caption_changed(const std::string& caption) override {
        log.push_back("caption " + caption);
    }
    void control_moved(ui::ControlId id, const ui::Rect&) override {
        log.push_back(std::string("move ") + form.control_design(id).name);
    }
    void window_moved(const ui::Rect&) override { log.push_back("move window"); }
    void picture_changed(ui::ControlId id, ui::ButtonState s, ui::Picture p) override {
        log.push_back(std::string("picture ") + form.control_design(id).name + " " +
                      std::to_string(static_cast<int>(s)) + "=" +
                      std::to_string(static_cast<int>(p)));
    }
    std::uintptr_t native_handle() const override { return 0x1234; }
};

inline bool contains(const Log& log, const std::string& entry) {
    for (const auto& e : log)
        if (e == entry) return true;
    return false;
}

inline long count(const Log& log, const std::string& entry) {
    long n = 0;
    for (const auto& e : log) n += e == entry;
    return n;
}

// Position of the first entry starting with `prefix`, or -1.
inline long index_of(const Log& log, const std::string& prefix) {
    for (std::size_t i = 0; i < log.size(); ++i)
        if (log[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
    return -1;
}

}  // namespace quorvel::test
