// Telling which standard icon a message box shows.
#pragma once

#include <windows.h>

#include <string>

namespace inspector {

// The icon an SS_ICON static of another process shows: "hand",
// "exclamation", "asterisk", "question", or "unknown". Icon handles cannot be
// compared between processes, so this compares the static's pixels on the
// screen with the system icons drawn here; the static must not be covered.
std::string IdentifyIcon(HWND iconStatic);

}  // namespace inspector
