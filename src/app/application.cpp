#include "app/application.h"

#include "app/frmOptions.h"

namespace orvan::app {

Application::Application(platform::Services& sys, ui::WindowSystem& windows)
    : sys_(sys), windows_(windows), ini_(sys), console_(sys, ini_, *this) {}

Application::~Application() = default;

bool Application::ClaimSession() {
    if (session_ == Session::Unclaimed) {
        if (sys_.ClaimSession() == platform::SessionClaim::HeldByAnother) {
            // A second start (a double-click that fired twice, say): the
            // running console's settings stay its own to save.
            session_ = Session::Refused;
            sys_.ShowRunningConsole();
            sys_.EndProcess();
        } else {
            session_ = Session::Ours;
        }
    }
    return session_ == Session::Ours;
}

void Application::Start() {
    if (!ClaimSession() || loaded_) return;
    loaded_ = true;
    console_.Form_Load();
}

bool Application::CloseRequested() {
    if (unloaded_) return true;
    // A console that never loaded has nothing of its own to save: its
    // defaults must not overwrite the file.
    if (!loaded_) {
        unloaded_ = true;
        return true;
    }
    bool cancel = false;
    console_.Form_Unload(cancel);
    unloaded_ = !cancel;
    return unloaded_;
}

bool Application::CloseRequested(ui::Form& form) {
    if (&form == &console_) return CloseRequested();
    // The dialog has no close box; any other way out counts as Cancel, so
    // the console is enabled again.
    if (options_ && &form == options_.get()) options_->Cancel_Click();
    return false;
}

void Application::ShowContextMenu() {
    if (!res_) {
        res_ = std::make_unique<frmRes>(sys_, ini_, console_);
        windows_.Open(*res_, false);
    }
    res_->PopupRightClick();
}

void Application::ShowOptions() {
    // Loaded afresh on every opening, so it starts from its definition.
    options_ = std::make_unique<frmOptions>(ini_, *this);
    options_->Form_Load();
    windows_.Open(*options_, true);
}

void Application::OptionsClosed() {
    if (!options_) return;
    windows_.Close(*options_);
    // The dialog's handler that got here is still on the stack: free the
    // dialog only after it returns.
    retired_ = std::move(options_);
    console_.SetEnabled(true);
    windows_.BringToFront(console_);
}

}  // namespace orvan::app
