#include "peer_mirror.h"

#include <windows.h>
#include <commctrl.h>

#include "check.h"

#include "ui/options_layout.h"
#include "win32/form_window.h"

namespace orvan::win32test {
namespace {

std::string TextOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct Search {
    const std::string* text;
    HWND found;
};

BOOL CALLBACK MatchText(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (TextOf(child) != *search->text) return TRUE;
    search->found = child;
    return FALSE;
}

// The child of `parent` whose text is `text`, searched through every level.
HWND ChildWithText(HWND parent, const std::string& text) {
    Search search{&text, nullptr};
    EnumChildWindows(parent, MatchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

void CheckPeersShowModelChanges() {
    win32::FormWindow::RegisterClasses(GetModuleHandleA(nullptr));
    ui::OptionsLayout dialog;
    win32::FormWindow window(dialog, nullptr);
    dialog.Attach(&window);

    HWND frame = ChildWithText(window.Hwnd(), "How Should Programs Be Run?");
    HWND option = ChildWithText(window.Hwnd(), "Back - Minimized");
    CHECK_THAT(frame && option, "the frame and the option button are made with the model's captions");
    if (!frame || !option) return;

    dialog.fraLaunch.SetCaption("Start programs how?");
    CHECK_THAT(TextOf(frame) == "Start programs how?", "a frame's new caption is its window's text");
    dialog.optMin.SetCaption("Minimized, behind");
    CHECK_THAT(TextOf(option) == "Minimized, behind", "an option button's new caption is its window's text");

    RECT before{}, after{};
    GetWindowRect(option, &before);
    dialog.optMin.SetLeft(dialog.optMin.Left() + 150);  // 10 pixels
    GetWindowRect(option, &after);
    CHECK_THAT(after.left == before.left + 10 && after.top == before.top, "a moved option button moves its window");

    // (The dialog itself stays hidden: its children's own style says it.)
    auto shown = [&] { return (GetWindowLongA(option, GWL_STYLE) & WS_VISIBLE) != 0; };
    dialog.optMin.SetVisible(false);
    CHECK_THAT(!shown(), "a hidden option button hides its window");
    dialog.optMin.SetVisible(true);
    CHECK_THAT(shown(), "and shows it again");

    dialog.SetCaption("Options");
    CHECK_THAT(TextOf(window.Hwnd()) == "Options", "the window's new caption is its title");

    dialog.Attach(nullptr);
}

}  // namespace orvan::win32test
