#include "app/frmOptions.h"

#include "app/application.h"
#include "app/frmOrvan97.h"

namespace orvan::app {

frmOptions::frmOptions(settings::modIni& ini, Application& app) : ini_(ini), app_(app) {
    optNormFront.Click = [this] { optNormFront_Click(); };
    optMax.Click = [this] { optMax_Click(); };
    optNormBack.Click = [this] { optNormBack_Click(); };
    optMin.Click = [this] { optMin_Click(); };
    OK.Click = [this] { OK_Click(); };
    Cancel.Click = [this] { Cancel_Click(); };
    OK.MouseMove = [this](const ui::MouseArgs&) { OK_MouseMove(); };
    Cancel.MouseMove = [this](const ui::MouseArgs&) { Cancel_MouseMove(); };
    SurfaceMouseMove = [this](const ui::MouseArgs&) { Form_MouseMove(); };
}

void frmOptions::Form_Load() {
    switch (ini_.RunMethod) {
    case 1:
        optNormFront.SetValue(true);
        break;
    case 3:
        optMax.SetValue(true);
        break;
    case 4:
        optNormBack.SetValue(true);
        break;
    case 6:
        optMin.SetValue(true);
        break;
    default:
        // Any other code keeps the dialog's own selection and the code itself.
        break;
    }
    ini_.RunMethodText = settings::RunMethodToText(ini_.RunMethod);
}

void frmOptions::optNormFront_Click() { ini_.RunMethod = 1; }
void frmOptions::optMax_Click() { ini_.RunMethod = 3; }
void frmOptions::optNormBack_Click() { ini_.RunMethod = 4; }
void frmOptions::optMin_Click() { ini_.RunMethod = 6; }

void frmOptions::OK_Click() { app_.OptionsClosed(); }

void frmOptions::Cancel_Click() {
    if (auto code = settings::ToRunMethod(ini_.RunMethodText)) ini_.RunMethod = *code;
    app_.OptionsClosed();
}

void frmOptions::OK_MouseMove() {
    Light(OK);
    Clear(Cancel);
}

void frmOptions::Cancel_MouseMove() {
    Clear(OK);
    Light(Cancel);
}

void frmOptions::Form_MouseMove() {
    Clear(OK);
    Clear(Cancel);
}

}  // namespace orvan::app
