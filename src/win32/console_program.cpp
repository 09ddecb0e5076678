#include "win32/console_program.h"

namespace orvan::win32 {

ConsoleProgram::ConsoleProgram(Win32Services& services) : services_(services), app_(services, windows_) {}

void ConsoleProgram::RegisterClasses(HINSTANCE instance) { FormWindow::RegisterClasses(instance); }

void ConsoleProgram::OpenConsole() {
    console_ = &windows_.OpenConsole(app_.Console());
    services_.SetOwner(console_->Hwnd());
    windows_.OnCloseRequest = [this](ui::Form& form) {
        if (app_.CloseRequested(form)) {
            console_->Destroy();
            PostQuitMessage(0);
        }
    };
}

int ConsoleProgram::RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        windows_.Bury();
        if (windows_.TranslateKey(message)) continue;
        HWND active = GetActiveWindow();
        if (active && IsDialogMessageA(active, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    windows_.CloseAll();
    return 0;
}

}  // namespace orvan::win32
