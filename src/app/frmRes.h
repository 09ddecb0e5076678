// The menu host: created hidden at the first right-click, never shown.
#pragma once

#include "platform/platform.h"
#include "settings/modIni.h"
#include "ui/res_layout.h"

namespace orvan::app {

class frmOrvan97;

class frmRes : public ui::ResLayout {
public:
    frmRes(platform::Services& sys, settings::modIni& ini, frmOrvan97& console);

    // Shows the right-click menu at the console's top-left corner and runs
    // the chosen command once the menu has closed.
    void PopupRightClick();

    void mnuAbout_Click();
    void mnuExit_Click();

private:
    platform::Services& sys_;
    settings::modIni& ini_;
    frmOrvan97& console_;
};

}  // namespace orvan::app
