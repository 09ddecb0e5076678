// A native list's face to accessibility tools: the system's own object of
// the list itself, and its entries as the model holds them, each with the
// key that starts it. (Wine's object of a list has no entries at all.)
#pragma once

#include <windows.h>

namespace orvan::ui {
class ListBox;
}  // namespace orvan::ui

namespace orvan::win32 {

class ListAccessible;

// Answers WM_GETOBJECT for the list's client area (OBJID_CLIENT) when the
// model gives its entries shortcuts; any other request is left to the list
// (returns false). `object` holds the list's object between calls.
bool AnswerListGetObject(HWND list, const ui::ListBox& model, ListAccessible*& object, WPARAM wParam, LPARAM lParam,
                         LRESULT& result);

// The list is going: the object stops answering and lets go of the system's.
void DisconnectListAccessible(ListAccessible*& object);

}  // namespace orvan::win32
