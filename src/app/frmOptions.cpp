#include "app/frmOptions.h"

#include "platform/platform.h"
#include "settings/run_method.h"
#include "ui/hover.h"

namespace orvan::app {

frmOptions::frmOptions(settings::modIni& ini, OptionsHost& host) : ini_(ini), host_(host) {
    optNormFront.Click = [this] { optNormFront_Click(); };
    optMax.Click = [this] { optMax_Click(); };
    optNormBack.Click = [this] { optNormBack_Click(); };
    optMin.Click = [this] { optMin_Click(); };
    OK.Click = [this] { OK_Click(); };
    Cancel.Click = [this] { Cancel_Click(); };
    // Hover: a button lights itself and clears the other; the background
    // (and nothing else) clears both.
    using ui::Clear;
    using ui::Light;
    ui::BindHover(*this, {
                             {&OK, {Light(OK), Clear(Cancel)}},
                             {&Cancel, {Clear(OK), Light(Cancel)}},
                             {nullptr, {Clear(OK), Clear(Cancel)}},
                         });
}

void frmOptions::Form_Load() {
    switch (ini_.RunMethod) {
    case platform::kShowNormal:
        optNormFront.SetValue(true);
        break;
    case platform::kShowMaximized:
        optMax.SetValue(true);
        break;
    case platform::kShowNoActivate:
        optNormBack.SetValue(true);
        break;
    case platform::kShowMinNoActive:
        optMin.SetValue(true);
        break;
    default:
        // Any other code keeps the dialog's own selection and the code itself.
        break;
    }
    ini_.RunMethodText = settings::RunMethodToText(ini_.RunMethod);
}

void frmOptions::optNormFront_Click() { ini_.RunMethod = platform::kShowNormal; }
void frmOptions::optMax_Click() { ini_.RunMethod = platform::kShowMaximized; }
void frmOptions::optNormBack_Click() { ini_.RunMethod = platform::kShowNoActivate; }
void frmOptions::optMin_Click() { ini_.RunMethod = platform::kShowMinNoActive; }

void frmOptions::OK_Click() { host_.OptionsClosed(); }

void frmOptions::Cancel_Click() {
    if (auto code = settings::ToRunMethod(ini_.RunMethodText)) ini_.RunMethod = *code;
    host_.OptionsClosed();
}

}  // namespace orvan::app
