// The window's face to accessibility tools (screen readers, voice control,
// test automation): the IAccessible of a form's client area. Its children
// are the windowless controls the model gives a role, top of the stack
// first, then the native child windows as the system describes them.
#pragma once

#include <windows.h>

namespace orvan::ui {
class Control;
class Form;
}  // namespace orvan::ui

namespace orvan::win32 {

// What the accessible object asks of its window.
class AccessibleHost {
public:
    virtual HWND Hwnd() const = 0;
    virtual ui::Form& Model() const = 0;
    // Whether the window takes input now.
    virtual bool Enabled() const = 0;
    // A tool pressed the control: the model hears of it from the message
    // loop, as it hears of a click.
    virtual void PressLater(const ui::Control& control) = 0;

protected:
    ~AccessibleHost() = default;
};

// The accessible object of one window, created on the first WM_GETOBJECT
// and kept by the window until it is destroyed. COM reference counting
// keeps the object itself alive for as long as a tool holds it; once the
// window is gone every call fails with RPC_E_DISCONNECTED.
class AccessibleForm;

// Answers WM_GETOBJECT for the client area (OBJID_CLIENT); any other object
// is left to the system (returns false). `object` holds the window's
// accessible object between calls.
bool AnswerGetObject(AccessibleHost& window, AccessibleForm*& object, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The window is going: the object stops answering and lets go of it.
void DisconnectAccessible(AccessibleForm*& object);

}  // namespace orvan::win32
