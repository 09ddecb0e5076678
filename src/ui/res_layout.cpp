#include "ui/res_layout.h"

namespace orvan::ui {

ResLayout::ResLayout()
    : Form("frmRes"),
      mnuRClick{"mnuRClick", "Right Click"},
      mnuAbout{"mnuAbout", "About Orvan 97...", false, true, kAbout},
      mnuD1{"mnuD1", "-"},
      mnuExit{"mnuExit", "Exit", false, true, kExit} {
    SetCaption("Resource Manager for Orvan 97");
    Border = BorderStyle::FixedDialog;
    ControlBox = true;
    ClientLeft = 1140;
    ClientTop = 1800;
    ClientWidth = 6690;
    ClientHeight = 5940;
}

std::vector<MenuItem> ResLayout::RightClickItems() const {
    std::vector<MenuItem> items;
    for (const MenuControl* m : {&mnuAbout, &mnuD1, &mnuExit})
        items.push_back({m->Command, m->Caption == "-" ? std::string() : m->Caption, m->Checked, m->Enabled});
    return items;
}

}  // namespace orvan::ui
