// The front end shows what the control model changes at run time: a native
// control's caption, place, visibility and tooltip, and the window's title.
#pragma once

#include <string>
#include <vector>

namespace orvan::win32test {

struct MirrorReport {
    int checks = 0;
    std::vector<std::string> failures;  // one line each
};

MirrorReport CheckPeersShowModelChanges();

}  // namespace orvan::win32test
