// A program that does nothing, built only to carry a manifest the review of
// the shipped program's manifest must refuse (refused.rc).
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
