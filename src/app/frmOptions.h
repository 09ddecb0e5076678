// The Options dialog: the run method's four choices, OK and Cancel.
#pragma once

#include "settings/modIni.h"
#include "ui/options_layout.h"

namespace orvan::app {

class Application;

class frmOptions : public ui::OptionsLayout {
public:
    frmOptions(settings::modIni& ini, Application& app);

    void Form_Load();
    void optNormFront_Click();
    void optMax_Click();
    void optNormBack_Click();
    void optMin_Click();
    void OK_Click();
    void Cancel_Click();

    void OK_MouseMove();
    void Cancel_MouseMove();
    void Form_MouseMove();

private:
    settings::modIni& ini_;
    Application& app_;
};

}  // namespace orvan::app
