// The hidden window that owns the console's context menu.
#pragma once

#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/peer.h"

namespace orvan::ui {

struct MenuControl {
    std::string Name;
    std::string Caption;
    bool Checked = false;
    bool Enabled = true;
    int Command = 0;  // 0: a separator or a top-level entry
};

class ResLayout : public Form {
public:
    ResLayout();

    enum Command : int { kAbout = 1, kExit = 2 };

    MenuControl mnuRClick, mnuAbout, mnuD1, mnuExit;

    // The entries under mnuRClick, as the popup menu shows them.
    std::vector<MenuItem> RightClickItems() const;
};

}  // namespace orvan::ui
