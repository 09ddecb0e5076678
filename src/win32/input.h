// The user's input as the system reports it, in the model's terms.
#pragma once

#include <windows.h>

#include "ui/types.h"

namespace orvan::win32 {

// The shift state of the event being handled: Shift, Ctrl and Alt as the
// keyboard had them when the message was posted, for pointer and keys alike.
inline int ShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? ui::kShiftMask : 0) | (GetKeyState(VK_CONTROL) < 0 ? ui::kCtrlMask : 0) |
           (GetKeyState(VK_MENU) < 0 ? ui::kAltMask : 0);
}

// The buttons a pointer message says are held.
inline int HeldButtons(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? ui::kLeftButton : 0) | ((keys & MK_RBUTTON) ? ui::kRightButton : 0) |
           ((keys & MK_MBUTTON) ? ui::kMiddleButton : 0);
}

// The button a press message is about.
inline int PressedButton(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        return ui::kLeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        return ui::kRightButton;
    default:
        return ui::kMiddleButton;
    }
}

// Shows the arrow when the pointer is over a client area (WM_SETCURSOR's
// hit code); true when it did. The arrow is loaded when the pointer first
// comes over a window of ours rather than at start-up, as loading it is
// slow under some systems.
inline bool SetArrow(LPARAM hit) {
    if (LOWORD(hit) != HTCLIENT) return false;
    static HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(arrow);
    return true;
}

}  // namespace orvan::win32
