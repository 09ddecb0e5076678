#include "app/frmRes.h"

#include "app/frmOrvan97.h"

namespace orvan::app {

frmRes::frmRes(platform::Services& sys, settings::modIni& ini, frmOrvan97& console)
    : sys_(sys), ini_(ini), console_(console) {}

void frmRes::PopupRightClick() {
    ui::WindowPeer* peer = console_.Peer();
    if (!peer) return;
    switch (peer->PopupMenu(RightClickItems(), 0, 0)) {
    case kAbout:
        mnuAbout_Click();
        break;
    case kExit:
        mnuExit_Click();
        break;
    default:
        break;
    }
}

void frmRes::mnuAbout_Click() {
    const bool show = !mnuAbout.Checked;
    mnuAbout.Checked = show;
    for (ui::Label& line : console_.lblAbout) line.SetVisible(show);
}

void frmRes::mnuExit_Click() {
    ini_.SaveAll();
    sys_.EndProcess();
}

}  // namespace orvan::app
