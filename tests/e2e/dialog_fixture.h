// The console's other windows as the tests meet them: the Options dialog
// with its frame and option buttons, the context menu, and the Open-file
// dialog of "Define Task"; and the pointer moves the hover tests are made of.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "console_fixture.h"

namespace orvan::e2e {

struct OptionsDialog {
    WindowInfo window;
    Hwnd frame = 0;
    std::map<std::string, ChildInfo> options;  // by caption
    int dpi = kBaseDpi;                        // what it is laid out at

    // Where the layout (ui::OptionsLayout) puts them, on the screen.
    Rect OK() const;
    Rect Cancel() const;
    // The header picture, where movement reaches the dialog itself.
    Rect Header() const;
    Rect Option(const std::string& caption) const;
    // The client area's size as the layout gives it at the dialog's DPI.
    int LaidOutWidth() const;
    int LaidOutHeight() const;

private:
    Rect InClient(const Rect& r) const {
        return {window.client.left + r.left, window.client.top + r.top, window.client.left + r.right,
                window.client.top + r.bottom};
    }
};

class DialogTest : public ConsoleTest {
protected:
    // The visible Options dialog of the console, if one is open.
    std::optional<OptionsDialog> FindOptions();
    // Clicks "Options" and waits for the dialog; fails the test when it does
    // not come.
    std::optional<OptionsDialog> OpenOptions();
    bool WaitOptionsClosed();
    // The caption of the checked option button; "" when none is, and all
    // the checked ones joined by '+' when more than one is.
    std::string CheckedOption(const OptionsDialog& dialog);
    void ClickOption(const OptionsDialog& dialog, const std::string& caption);

    // The visible context menu (a #32768 popup), if one is open.
    std::optional<WindowInfo> FindMenu();
    std::optional<WindowInfo> WaitMenu();
    bool WaitMenuGone();
    // Points on the menu's two commands.
    static Rect AboutEntry(const WindowInfo& menu);
    static Rect ExitEntry(const WindowInfo& menu);
    // Whether a tick stands left of "About Orvan 97...".
    bool AboutTicked(const WindowInfo& menu);
    // Right-clicks at the rectangle's centre and waits for the menu.
    std::optional<WindowInfo> RightClickMenu(const Rect& r);

    // "Define Task" with the path typed into the Open-file dialog and Enter
    // (or Escape when `confirm` is false) pressed there; waits until the
    // dialog has gone.
    void DefineThroughDialog(const std::string& windowsPath, bool confirm = true);
};

}  // namespace orvan::e2e
