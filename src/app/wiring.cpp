#include "app/wiring.h"

#include <span>

#include "clock/clock_tick.h"
#include "clock/date_line.h"
#include "reminders/reminder_settings.h"
#include "ui/frame_layout.h"
#include "ui/main_design.h"
#include "ui/options_design.h"

namespace quorvel::app {

namespace {

using ui::Event;
using ui::window_id;

struct Binding {
    ui::ControlId source;
    Event event;
    void (*handler)(App&);
};

namespace m = ui::main_window;
namespace o = ui::options_window;

// clang-format off
constexpr Binding main_window_events[] = {
    {window_id,          Event::created,      [](App& a) { main_window_created(a.main, a.services); }},
    {window_id,          Event::size_changed, [](App& a) { ui::frame_layout(a.main, a.services.desktop); }},
    {m::标题栏2,          Event::mouse_down,   [](App& a) { ui::title_drag(a.main, a.services.desktop); }},
    {m::标题栏2,          Event::double_click, [](App& a) { ui::title_double_click(a.main, a.services.desktop); }},
    {m::标题栏按钮_关闭,  Event::click,        [](App& a) { ui::close_main_window(a.main, a.services.desktop); }},
    {m::标题栏按钮_最大化, Event::click,      [](App& a) { ui::toggle_maximise(a.main, a.services.desktop); }},
    {m::标题栏按钮_最小化, Event::click,      [](App& a) { ui::minimise_to_tray(a.main, a.services.desktop); }},
    {m::图形按钮1,        Event::click,        [](App& a) { open_options_window(a); }},
    {m::时钟1,            Event::tick,         [](App& a) { clock::clock_tick(a.main, a.services); }},
    {m::时钟1,            Event::tick,         [](App& a) { a.watch.after_tick(a.main, a.services); }},
    {window_id,          Event::time_changed, [](App& a) { a.watch.rearm(a.main, a.services); }},
    {window_id,          Event::resumed,      [](App& a) { a.watch.resumed(a.main, a.services); }},
    {m::按钮1,            Event::click,        [](App& a) { clock::refresh_date_line(a.main, a.services.clock.now()); }},
};

constexpr Binding options_window_events[] = {
    {window_id,  Event::created, [](App& a) { options_window_created(a.services); }},
    {o::按钮1,    Event::click,   [](App& a) { reminders::choose_music(*a.options, a.main, a.services.windows); }},
    {o::按钮2,    Event::click,   [](App& a) { reminders::set_alarm(*a.options, a.main, a.services.windows); }},
    {o::按钮2,    Event::click,   [](App& a) { a.watch.rearm(a.main, a.services); }},
    {o::按钮3,    Event::click,   [](App& a) { reminders::set_shutdown(*a.options, a.main, a.services.windows); }},
    {o::按钮3,    Event::click,   [](App& a) { a.watch.rearm(a.main, a.services); }},
};
// clang-format on

void dispatch(App& app, std::span<const Binding> bindings, ui::ControlId source, Event e) {
    if (e == Event::destroyed) {
        app.lifecycle.window_destroyed();
        return;
    }
    for (const Binding& b : bindings) {
        if (b.source == source && b.event == e) b.handler(app);
    }
}

}  // namespace

void wire_main_window(App& app) {
    app.main.set_event_sink([&app](ui::Form&, ui::ControlId source, Event e) {
        dispatch(app, main_window_events, source, e);
    });
}

void wire_options_window(App& app, ui::Form& options) {
    options.set_event_sink([&app](ui::Form&, ui::ControlId source, Event e) {
        dispatch(app, options_window_events, source, e);
    });
}

}  // namespace quorvel::app
