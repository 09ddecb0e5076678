// The console's benchmark build only: marks the ends of the phases of
// start-up that happen inside the core and the window's own code, from the
// outside, so the program that ships carries none of it.
#pragma once

#include <windows.h>

#include "bench_report.h"
#include "win32/services.h"

namespace orvan::bench {

// The settings phase ends with the last read of the settings file.
class StampingServices : public win32::Win32Services {
public:
    std::optional<std::string> ReadFile(const std::string& path) override {
        std::optional<std::string> bytes = win32::Win32Services::ReadFile(path);
        StampPhase("settings");
        return bytes;
    }
};

inline WNDPROC consoleProc = nullptr;
inline bool consolePainted = false;

inline LRESULT CALLBACK StampingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT || consolePainted) return CallWindowProcA(consoleProc, hwnd, message, wParam, lParam);
    StampPhase("shown");
    const LRESULT result = CallWindowProcA(consoleProc, hwnd, message, wParam, lParam);
    consolePainted = true;
    StampPhase("painted");
    return result;
}

// The window is shown when its first paint begins, and painted (its
// pictures and windowless controls, not yet its list boxes) when that ends.
inline void StampFirstPaint(HWND console) {
    consoleProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(console, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StampingProc)));
}

}  // namespace orvan::bench
