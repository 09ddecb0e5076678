// The front end shows what the control model changes at run time: a native
// control's caption, place, visibility and tooltip, and the window's title.
#pragma once

namespace orvan::win32test {

void CheckPeersShowModelChanges();

}  // namespace orvan::win32test
