#include "ui/form.h"

#include <cassert>

namespace quorvel::ui {

Form::Form(const WindowDesign& design) : design_(&design), caption_(design.caption) {
    controls_.reserve(design.controls.size());
    for (const ControlDesign& c : design.controls) {
        ControlState s;
        s.text = c.text;
        s.place = c.place;
        for (int i = 0; i < 4; ++i) s.pictures[static_cast<std::size_t>(i)] = c.pictures[i];
        controls_.push_back(std::move(s));
    }
    window_rect_ = {0, 0, design.width, design.height};
    client_height_ = design.height;
}

Form::~Form() {
    if (view_) view_->form_gone();
}

const ControlDesign& Form::control_design(ControlId id) const {
    return (*design_)[id];
}

ControlState& Form::state(ControlId id) {
    assert(id.row >= 1 && static_cast<std::size_t>(id.row) <= controls_.size());
    return controls_[static_cast<std::size_t>(id.row - 1)];
}

const ControlState& Form::state(ControlId id) const {
    assert(id.row >= 1 && static_cast<std::size_t>(id.row) <= controls_.size());
    return controls_[static_cast<std::size_t>(id.row - 1)];
}

void Form::set_caption(std::string caption) {
    if (!alive_) return;
    caption_ = std::move(caption);
    if (view_) view_->caption_changed(caption_);
}

void Form::set_scale(const Scale& scale) {
    if (!alive_) return;
    scale_ = scale;
    for (std::size_t i = 0; i < controls_.size(); ++i)
        move(ControlId{static_cast<int>(i) + 1}, scale.rect(design_->controls[i].place));
}

void Form::set_text(ControlId id, std::string text) {
    if (!alive_) return;
    ControlState& s = state(id);
    s.text = std::move(text);
    if (view_) view_->text_changed(id, s.text);
}

void Form::move(ControlId id, const Rect& place) {
    if (!alive_) return;
    ControlState& s = state(id);
    if (s.place == place) return;
    s.place = place;
    if (view_) view_->control_moved(id, place);
}

Picture Form::picture(ControlId id, ButtonState s) const {
    return state(id).pictures[static_cast<std::size_t>(s)];
}

void Form::set_picture(ControlId id, ButtonState s, Picture picture) {
    if (!alive_) return;
    state(id).pictures[static_cast<std::size_t>(s)] = picture;
    if (view_) view_->picture_changed(id, s, picture);
}

void Form::move_window(const Rect& outer) {
    if (!alive_ || outer == window_rect_) return;
    if (view_) {
        view_->window_moved(outer);
        return;
    }
    const bool resized = outer.width != window_rect_.width || outer.height != window_rect_.height;
    client_height_ += outer.height - window_rect_.height;
    window_rect_ = outer;
    if (resized) raise(Event::size_changed);
}

void Form::report_window_rect(const Rect& outer, int client_height) {
    window_rect_ = outer;
    client_height_ = client_height;
}

void Form::report_destroyed() {
    if (!alive_) return;
    alive_ = false;
    view_ = nullptr;
    raise(Event::destroyed);
}

void Form::raise(Event e, ControlId source) {
    if (sink_) sink_(*this, source, e);
}

}  // namespace quorvel::ui
