// The console program's start, step by step: the program's entry point runs
// the steps in a row, and a benchmark's entry point can mark the time between
// them without the program carrying any of it.
#pragma once

#include <windows.h>

#include "app/application.h"
#include "win32/services.h"
#include "win32/window_system.h"

namespace orvan::win32 {

class ConsoleProgram {
public:
    explicit ConsoleProgram(Win32Services& services);

    // Before any window or file: false when another console holds the
    // session (the core has brought it forward and ended this process).
    bool ClaimSession() { return app_.ClaimSession(); }
    // The window classes, then the console's window, hidden.
    void RegisterClasses(HINSTANCE instance);
    void OpenConsole();
    // The console's load, while the window is still hidden.
    void Load() { app_.Start(); }
    void Show() { console_->Show(); }
    HWND Console() const { return console_->Hwnd(); }
    // Until the console goes away; the process's exit code.
    int RunMessageLoop();

private:
    Win32Services& services_;
    Win32WindowSystem windows_;
    app::Application app_;
    FormWindow* console_ = nullptr;
};

}  // namespace orvan::win32
