// The process: the settings, the console and the windows it opens on demand.
#pragma once

#include <memory>

#include "app/frmOptions.h"
#include "app/frmOrvan97.h"
#include "app/frmRes.h"
#include "platform/platform.h"
#include "settings/modIni.h"
#include "ui/peer.h"

namespace orvan::app {

class Application : public Shell, public OptionsHost {
public:
    Application(platform::Services& sys, ui::WindowSystem& windows);
    ~Application() override;

    // The process's first step, before any window or file: one console per
    // user session. When another console of the session runs, it is brought
    // to the front and this process ends (EndProcess) having read and
    // written nothing; false comes back then, and from then on the console
    // neither loads nor saves.
    bool ClaimSession();

    // Runs the console's load (claiming the session first if that has not
    // been done); the front end shows the console afterwards.
    void Start();

    // A close request from the windowing system (a task manager's close,
    // log-off, shutdown): the console unloads, writing the settings once.
    // Returns whether the close goes ahead.
    bool CloseRequested();
    // A window of ours was asked to close by the system (Alt+F4, a task
    // manager): the console unloads, the Options dialog closes as Cancel
    // would, the hidden menu host stays. Returns whether the process ends.
    bool CloseRequested(ui::Form& form);

    void ShowOptions() override;
    void ShowContextMenu() override;
    // The Options dialog closed (OK, Cancel or a close of its own).
    void OptionsClosed() override;

    settings::modIni& Ini() { return ini_; }
    frmOrvan97& Console() { return console_; }
    frmRes* Res() { return res_.get(); }
    frmOptions* Options() { return options_.get(); }

private:
    platform::Services& sys_;
    ui::WindowSystem& windows_;
    settings::modIni ini_;
    frmOrvan97 console_;
    std::unique_ptr<frmRes> res_;
    std::unique_ptr<frmOptions> options_;
    std::unique_ptr<frmOptions> retired_;  // a dialog whose handler is still running
    enum class Session { Unclaimed, Ours, Refused };
    Session session_ = Session::Unclaimed;
    bool loaded_ = false;
    bool unloaded_ = false;
};

}  // namespace orvan::app
