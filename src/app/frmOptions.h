// The Options dialog: the run method's four choices, OK and Cancel.
#pragma once

#include "settings/modIni.h"
#include "ui/options_layout.h"

namespace orvan::app {

// What the dialog asks of the process around it, as the console asks its Shell.
class OptionsHost {
public:
    virtual ~OptionsHost() = default;
    virtual void OptionsClosed() = 0;  // OK, Cancel or a close of its own
};

class frmOptions : public ui::OptionsLayout {
public:
    frmOptions(settings::modIni& ini, OptionsHost& host);

    void Form_Load();
    void optNormFront_Click();
    void optMax_Click();
    void optNormBack_Click();
    void optMin_Click();
    void OK_Click();
    void Cancel_Click();

private:
    settings::modIni& ini_;
    OptionsHost& host_;
};

}  // namespace orvan::app
