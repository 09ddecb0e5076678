// The console: its load and unload, and the handlers of its controls.
#pragma once

#include "platform/platform.h"
#include "settings/modIni.h"
#include "ui/console_layout.h"

namespace orvan::app {

// What the console asks of the process around it.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void ShowOptions() = 0;      // load and show the Options dialog
    virtual void ShowContextMenu() = 0;  // the right-click menu at the console's corner
};

class frmOrvan97 : public ui::ConsoleLayout {
public:
    frmOrvan97(platform::Services& sys, settings::modIni& ini, Shell& shell);

    void Form_Load();
    void Form_Unload(bool& cancel);

    void Windows_Click();
    void lstWindows_DblClick();
    void User_Click();
    void lstUser_DblClick();
    void Edit_Click();
    void Define_Click();
    // Files dropped on a user slot define it and the slots after it, one
    // each, as "Define Task" would: written at once, shown in the list.
    void lstUser_OLEDragDrop(const ui::DropArgs& drop);
    void Options_Click();
    void tmrAnimate_Timer();

    // Every right-button source of the console shares this.
    void RightButtonDown(int button);

    // Keys on the console and its lists: Enter starts the list's entry as a
    // double-click does (`start`, none on the window itself); a digit, 1 to
    // 9 and 0, selects user slot One to Ten and starts it as Enter there
    // does; the menu key and Shift+F10 open the context menu. True when the
    // key was used.
    bool ConsoleKeyDown(const ui::KeyArgs& key, void (frmOrvan97::*start)());

    // Rebuilds the user list from the ten task paths, in slot order.
    void FillUserList();

private:
    void AnimateButtons();
    void Bind();

    platform::Services& sys_;
    settings::modIni& ini_;
    Shell& shell_;
};

}  // namespace orvan::app
