// The program: a second start in the same session only brings the running
// console forward; otherwise the console comes up, runs its load while still
// hidden, is shown maximized, and the message loop runs until the console
// goes away.
#include <windows.h>

#include "win32/console_program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    orvan::win32::Win32Services services;
    orvan::win32::ConsoleProgram program(services);
    if (!program.ClaimSession()) return 0;
    program.RegisterClasses(instance);
    program.OpenConsole();
    program.Load();
    program.Show();
    return program.RunMessageLoop();
}
