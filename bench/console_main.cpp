// The console's benchmark build: the program's start, step by step, with the
// end of each phase stamped, ending after the first complete paint.
#include <windows.h>

#include "console_phases.h"
#include "win32/console_program.h"
#include "win32/lazy_dll.h"
#include "win32/stack_protector.h"

using orvan::bench::StampPhase;

namespace {

[[noreturn]] __attribute__((noinline)) void RunConsole(HINSTANCE instance) {
    orvan::bench::StampingServices services;
    orvan::win32::ConsoleProgram program(services);
    StampPhase("layout");
    if (!program.ClaimSession()) ExitProcess(0);
    program.RegisterClasses(instance);
    StampPhase("classes");
    program.OpenConsole();
    StampPhase("window");
    program.Load();
    StampPhase("lists");
    orvan::bench::StampFirstPaint(program.Console());
    program.Show();
    // Complete once its list boxes are painted too.
    RedrawWindow(program.Console(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    StampPhase("complete");
    orvan::bench::ReportFirstPaintAndExit();
}

}  // namespace

// As the program's own entry point: the search kept, the canary seeded.
__attribute__((no_stack_protector)) int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    StampPhase("winmain");
    orvan::win32::KeepLibrarySearchToTheSystemFolder();
    orvan::win32::SeedStackGuard();
    RunConsole(instance);
}
