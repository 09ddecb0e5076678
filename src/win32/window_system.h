// The native windows of the forms, created and discarded on the core's request.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "win32/form_window.h"
#include "ui/peer.h"

namespace orvan::win32 {

class Win32WindowSystem : public ui::WindowSystem {
public:
    // The console's window owns every other window.
    FormWindow& OpenConsole(ui::Form& console);

    void Open(ui::Form& form, bool visible) override;
    void Close(ui::Form& form) override;
    void BringToFront(ui::Form& form) override;

    // Hands a key that went down on one of the forms' windows or their
    // controls to the form; true when the form used it, and then it goes no
    // further (not to the dialog navigation, not to the control).
    bool TranslateKey(const MSG& message);

    // A window of this form was asked to close.
    std::function<void(ui::Form&)> OnCloseRequest;

    // Frees windows closed from inside their own handlers; called from the
    // message loop, where none of their code is on the stack.
    void Bury() { closed_.clear(); }
    // Destroys every window, before the forms they show go away.
    void CloseAll() {
        closed_.clear();
        windows_.clear();
    }

private:
    FormWindow& Add(ui::Form& form, HWND owner);

    HWND console_ = nullptr;
    std::map<ui::Form*, std::unique_ptr<FormWindow>> windows_;
    std::vector<std::unique_ptr<FormWindow>> closed_;
};

}  // namespace orvan::win32
