// The data of one window: its controls in stacking order and their state.
// Handlers read and write controls only through a Form; an attached view
// (the Win32 layer) reflects every change before the call returns.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ui/design.h"
#include "ui/scale.h"

namespace quorvel::ui {

class Form;

// What a Form tells its realisation. Every call is synchronous: a written
// text is on the screen, a moved window has moved, before it returns.
class FormView {
  public:
    virtual ~FormView() = default;
    virtual void text_changed(ControlId id, const std::string& text) = 0;
    virtual void caption_changed(const std::string& caption) = 0;
    virtual void control_moved(ControlId id, const Rect& place) = 0;
    // Moving the window may report a new size back (report_window_rect) and
    // raise the size-changed event, nested, before it returns.
    virtual void window_moved(const Rect& outer) = 0;
    virtual void picture_changed(ControlId id, ButtonState state, Picture picture) = 0;
    virtual std::uintptr_t native_handle() const = 0;
    // The form is going before its window: the window must go at once and
    // without reaching the form again.
    virtual void form_gone() {}
};

enum class Event : std::uint8_t {
    created,
    position_changed,
    size_changed,
    click,
    mouse_down,
    double_click,
    tick,
    destroyed,
    time_changed,  // the system clock or time zone changed (top-level windows)
    resumed,       // the computer came back from sleep (top-level windows)
};

struct ControlState {
    std::string text;
    Rect place;
    std::array<Picture, 4> pictures{};
    int selection = -1;  // combo box: 0-based item index, -1 for none
};

class Form {
  public:
    using EventSink = std::function<void(Form&, ControlId, Event)>;

    explicit Form(const WindowDesign& design);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    ~Form();

    const WindowDesign& design() const { return *design_; }
    const ControlDesign& control_design(ControlId id) const;

    const std::string& caption() const { return caption_; }
    void set_caption(std::string caption);

    const std::string& text(ControlId id) const { return state(id).text; }
    void set_text(ControlId id, std::string text);

    const Rect& place(ControlId id) const { return state(id).place; }
    void move(ControlId id, const Rect& place);

    Picture picture(ControlId id, ButtonState s) const;
    void set_picture(ControlId id, ButtonState s, Picture picture);

    int selection(ControlId id) const { return state(id).selection; }

    // Places and window sizes are device pixels at this scale; a new scale
    // puts every control back on its designed place at that scale.
    const Scale& scale() const { return scale_; }
    void set_scale(const Scale& scale);

    // Outer rectangle in screen coordinates and client height, as last known.
    const Rect& window_rect() const { return window_rect_; }
    int client_height() const { return client_height_; }
    // Without a view the model moves itself and raises size-changed at once
    // when the size differs, as the system does for a real window.
    void move_window(const Rect& outer);

    std::uintptr_t native_handle() const { return view_ ? view_->native_handle() : 0; }

    // A destroyed window takes no more writes; reads give its last state.
    bool alive() const { return alive_; }
    void attach(FormView* view) { view_ = view; }
    void set_event_sink(EventSink sink) { sink_ = std::move(sink); }

    // Facts the realisation reports into the model (no view round trip).
    void report_text(ControlId id, std::string text) { state(id).text = std::move(text); }
    void report_selection(ControlId id, int index) { state(id).selection = index; }
    void report_window_rect(const Rect& outer, int client_height);
    void report_destroyed();

    void raise(Event e, ControlId source = window_id);

  private:
    ControlState& state(ControlId id);
    const ControlState& state(ControlId id) const;

    const WindowDesign* design_;
    std::vector<ControlState> controls_;
    std::string caption_;
    Scale scale_;
    Rect window_rect_;
    int client_height_ = 0;
    FormView* view_ = nullptr;
    bool alive_ = true;
    EventSink sink_;
};

}  // namespace quorvel::ui
