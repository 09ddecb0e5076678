// The program: a second start in the same session only brings the running
// console forward; otherwise the console comes up, runs its load while still
// hidden, is shown maximized, and the message loop runs until the console
// goes away.
#include <windows.h>

#include "app/application.h"
#include "platform/win32/services.h"
#include "platform/win32/window_system.h"
#ifdef ORVAN_BENCH_FIRST_PAINT
// Benchmark build only: each phase of start-up is stamped as it ends.
#include "console_phases.h"
using Services = orvan::bench::StampingServices;
#define ORVAN_PHASE(name) orvan::bench::StampPhase(name)
#else
using Services = orvan::win32::Win32Services;
#define ORVAN_PHASE(name) ((void)0)
#endif

using orvan::app::Application;
using orvan::win32::FormWindow;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ORVAN_PHASE("winmain");
    Services services;
    orvan::win32::Win32WindowSystem windows;
    Application app(services, windows);
    ORVAN_PHASE("layout");
    // Before any window or file: the core ends a second console here.
    if (!app.ClaimSession()) return 0;

    FormWindow::RegisterClasses(instance);
    ORVAN_PHASE("classes");

    FormWindow& console = windows.OpenConsole(app.Console());
    ORVAN_PHASE("window");
    services.SetOwner(console.Hwnd());
    windows.OnCloseRequest = [&](orvan::ui::Form& form) {
        if (app.CloseRequested(form)) {
            console.Destroy();
            PostQuitMessage(0);
        }
    };

    app.Start();
    ORVAN_PHASE("lists");
#ifdef ORVAN_BENCH_FIRST_PAINT
    orvan::bench::StampFirstPaint(console.Hwnd());
#endif
    console.Show();
#ifdef ORVAN_BENCH_FIRST_PAINT
    // End once the console is completely painted, its list boxes too.
    RedrawWindow(console.Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ORVAN_PHASE("complete");
    orvan::bench::ReportFirstPaintAndExit();
#endif

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        windows.Bury();
        if (windows.TranslateKey(message)) continue;
        HWND active = GetActiveWindow();
        if (active && IsDialogMessageA(active, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    windows.CloseAll();
    return 0;
}
