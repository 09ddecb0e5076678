// Files dragged from other programs (Explorer, a file manager, any program
// that drags files) onto a native list, through OLE's drag and drop: what
// every program on Windows offers, and the only way under Wine, which
// delivers no WM_DROPFILES from another program's drag.
#pragma once

#include <windows.h>

namespace orvan::ui {
class Form;
class ListBox;
}  // namespace orvan::ui

namespace orvan::win32 {

class FileDropTarget;

// Makes the list take files dropped on its entries, which its form hands to
// the model. OLE's libraries load then, so the list asks once it is shown.
// False when OLE cannot be had, or the window refuses (`target` stays null).
bool AcceptFileDrops(HWND list, ui::ListBox& model, ui::Form& form, FileDropTarget*& target);

// The list is going: it takes no more drops.
void StopFileDrops(HWND list, FileDropTarget*& target);

}  // namespace orvan::win32
