// The start-up baseline: the least a Win32 program can do to show what the
// console shows first, a maximized borderless window with an 800 x 600
// picture painted once. It is DPI aware as the console is (the same
// manifest), and paints the picture made for the screen's scale.
#include <windows.h>

#include "bench_report.h"

namespace {

HBITMAP picture;
SIZE size;

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        orvan::bench::StampPhase("shown");
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HDC from = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(from, picture);
        BitBlt(dc, 0, 0, size.cx, size.cy, from, 0, 0, SRCCOPY);
        SelectObject(from, old);
        DeleteDC(from);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    orvan::bench::StampPhase("winmain");
    // The pictures of 100, 125, 150 and 200 % are resources 101, 111, 121
    // and 131: the one made for the screen's DPI, or the nearest larger.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const int resource = dpi <= 96 ? 101 : dpi <= 120 ? 111 : dpi <= 144 ? 121 : 131;
    picture =
        static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP bits{};
    GetObjectA(picture, sizeof bits, &bits);
    size = {bits.bmWidth, bits.bmHeight};
    orvan::bench::StampPhase("picture");
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "BaselineWindow";
    RegisterClassA(&wc);
    HWND hwnd =
        CreateWindowExA(0, "BaselineWindow", "Baseline", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, instance, nullptr);
    orvan::bench::StampPhase("window");
    ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    UpdateWindow(hwnd);
    orvan::bench::StampPhase("painted");
    orvan::bench::ReportFirstPaintAndExit();
}
