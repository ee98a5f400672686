// A form realised as a system window: every control a real child window
// whose window text is its control text, so screen readers and test drivers
// can read it. Our own kinds share one painter (painter.cpp); standard
// controls are the system's.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/win32/base/handles.h"
#include "platform/win32/forms/pictures.h"
#include "ui/form.h"

namespace quorvel::win32 {

inline constexpr wchar_t main_class[] = L"QuorvelMain";
inline constexpr wchar_t dialog_class[] = L"QuorvelOptions";
inline constexpr wchar_t control_class[] = L"QuorvelControl";
inline constexpr wchar_t owner_class[] = L"QuorvelOwner";

// Child-window id of a control: stable, so outside tools can find it.
constexpr int child_id(ui::ControlId id) {
    return 1000 + id.row;
}

void register_window_classes(HINSTANCE instance, PictureStore& pictures);

class FormWindow final : public ui::FormView {
  public:
    // `session_end` runs when the system ends the session (log-off, restart,
    // update) before this window goes.
    FormWindow(ui::Form& form, HINSTANCE instance, HWND owner, PictureStore& pictures,
               const std::function<void()>& session_end);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    ~FormWindow() override;

    bool create();
    void show_controls();
    void show();
    bool alive() const { return static_cast<bool>(hwnd_); }
    HWND hwnd() const { return hwnd_.get(); }
    ui::Form& form() { return form_; }

    // Keyboard of dialog-like windows: Tab order bottom-up, Enter only on a
    // focused button, Esc inert. True when the message was used.
    bool pretranslate(const MSG& msg);

    // Windows disabled while this one is modal; enabled again as it closes.
    void keep_disabled(std::vector<HWND> windows) { disabled_ = std::move(windows); }

    // ui::FormView
    void text_changed(ui::ControlId id, const std::string& text) override;
    void caption_changed(const std::string& caption) override;
    void control_moved(ui::ControlId id, const ui::Rect& place) override;
    void window_moved(const ui::Rect& outer) override;
    void picture_changed(ui::ControlId id, ui::ButtonState state, ui::Picture picture) override;
    std::uintptr_t native_handle() const override {
        return reinterpret_cast<std::uintptr_t>(hwnd_.get());
    }
    void form_gone() override;

    // Called from the window procedures.
    LRESULT on_window_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT on_control_message(HWND hwnd, ui::ControlId id, UINT msg, WPARAM wp, LPARAM lp);

  private:
    struct ButtonTrack {
        bool hover = false;
        bool pressed = false;  // left button went down on it and is held
        bool over = false;     // mouse over it while pressed
    };

    HWND child(ui::ControlId id) const { return children_[static_cast<std::size_t>(id.row - 1)]; }
    ui::ButtonState shown_state(ui::ControlId id) const;
    bool picture_button_message(HWND hwnd, ui::ControlId id, UINT msg, LPARAM lp);
    void paint_control(HDC dc, ui::ControlId id, int dx, int dy);
    void paint_beneath(HDC dc, ui::ControlId id);
    void paint_caption(HDC dc, ui::ControlId id, int dx, int dy);
    void repaint_transparent_above(ui::ControlId id, const RECT& area, bool now);
    void create_child(ui::ControlId id);
    void setup_combo(HWND combo, const ui::ControlDesign& d);
    void fit_combo_items(HWND combo);
    void place_combo(HWND combo, const ui::Rect& place);
    // Fonts and every control's place at the window's display scale.
    void apply_scale(const ui::Scale& scale);
    SIZE outer_size(const ui::Scale& scale) const;
    void on_dpi_changed(int dpi, const RECT& suggested);
    // Where a caption's first letter goes: right of any picture button that
    // lies over the label's start, even where its leading spaces fall short.
    int caption_indent(HDC dc, ui::ControlId id, const std::wstring& text) const;
    void report_rect();
    void reenable_others();
    HFONT font_for(const ui::Look& look) const;
    // Destroys the window with its procedures cut off from this object.
    void destroy_quietly();

    ui::Form& form_;
    HINSTANCE instance_;
    HWND owner_;
    PictureStore& pictures_;
    const std::function<void()>& session_end_;
    UniqueWindow hwnd_;
    std::vector<HWND> children_;  // owned by hwnd_, by row
    std::vector<ButtonTrack> buttons_;
    std::vector<HWND> disabled_;
    UniqueFont clock_font_;
    UniqueFont gui_font_;  // empty at the system DPI: the stock font is right there
    bool loading_ = true;
};

}  // namespace quorvel::win32
