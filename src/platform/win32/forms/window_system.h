// The forms room: the core's forms realised as system windows, every control
// a child window whose text is its control text; the one painter of our own
// control kinds; the embedded pictures; the modal and main message loops and
// the file dialog. It uses base/ and the core's ui/ model; the skin and the
// services reach it only through the core.
//
// Realises forms as windows and runs the UI thread's message loops.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/services.h"
#include "platform/win32/forms/form_window.h"
#include "platform/win32/forms/pictures.h"

namespace quorvel::win32 {

class WindowSystem final : public platform::Windows {
  public:
    WindowSystem(HINSTANCE instance, PictureStore& pictures);

    bool create(ui::Form& form) override;
    void show_controls(ui::Form& form) override;
    void show(ui::Form& form) override;
    void run_modal(ui::Form& form) override;
    void close_later(ui::Form& form) override;
    std::optional<std::string> open_file(const ui::options_window::FileDialogSettings& s,
                                         const std::string& initial_name) override;
    int run_loop() override;
    // Runs when the system ends the session, then every window goes.
    void on_session_end(std::function<void()> release) { release_ = std::move(release); }
    void post_quit(int exit_code) override;
    void report_fatal(const std::string& message) override;

  private:
    FormWindow* find(const ui::Form& form) const;
    void dispatch(MSG& msg);
    void forget_closed();

    HINSTANCE instance_;
    PictureStore& pictures_;
    UniqueWindow owner_;  // invisible: keeps our windows off the taskbar
    // Loaded at the first file dialog, not linked: linking would bring the
    // printing libraries into the process for its whole life. Kept once
    // loaded, as the shell may hold objects of its own from the dialog.
    UniqueModule comdlg_;
    std::vector<std::unique_ptr<FormWindow>> windows_;
    std::function<void()> release_;
    std::function<void()> session_end_;  // what each window runs
};

}  // namespace quorvel::win32
