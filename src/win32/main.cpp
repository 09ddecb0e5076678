// The program: libraries are looked for in the system folder alone from its
// first step on, and the stack's canary is seeded right after; a second start in the same session only brings the
// running console forward; otherwise the console comes up, runs its load while still hidden, is shown maximized, and
// the message loop runs until the console goes away.
#include <windows.h>

#include "win32/console_program.h"
#include "win32/lazy_dll.h"
#include "win32/stack_protector.h"

namespace {

// Entered once the canary is seeded, so its frame's canary is the seeded one.
__attribute__((noinline)) int RunConsole(HINSTANCE instance) {
    orvan::win32::Win32Services services;
    orvan::win32::ConsoleProgram program(services);
    if (!program.ClaimSession()) return 0;
    program.RegisterClasses(instance);
    program.OpenConsole();
    program.Load();
    program.Show();
    return program.RunMessageLoop();
}

}  // namespace

// No canary of its own: its frame outlives the seeding.
__attribute__((no_stack_protector)) int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    orvan::win32::KeepLibrarySearchToTheSystemFolder();
    orvan::win32::SeedStackGuard();
    return RunConsole(instance);
}
