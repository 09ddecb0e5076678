// The inspector's accessibility commands: what a screen reader sees of a
// window through Active Accessibility (oleacc), and its default action.
#pragma once

#include "protocol.h"

namespace inspector {

// Each takes the window's handle first; see the command list in main.cpp.
Reply AccTree(const Args& args);
Reply AccHit(const Args& args);
Reply AccNavigate(const Args& args);
Reply AccDo(const Args& args);
Reply AccPress(const Args& args);
Reply AccHold(const Args& args);
Reply AccHeld(const Args& args);

}  // namespace inspector
