/* A program that does nothing, built only to carry a manifest the review of
   the shipped program's manifest must refuse. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
    (void)instance;
    (void)previous;
    (void)line;
    (void)show;
    return 0;
}
