#include "platform/platform.h"

namespace orvan::platform {

bool IsAcceptedShowCode(int code) {
    switch (code) {
    case kShowHidden:
    case kShowNormal:
    case kShowMinimized:
    case kShowMaximized:
    case kShowNoActivate:
    case kShowMinNoActive:
        return true;
    default:
        return false;
    }
}

std::string FolderOf(const std::string& path) {
    auto cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return {};
    // Keep the separator of a drive's root so the folder stays absolute.
    if (cut == 2 && path.size() > 1 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, cut);
}

}  // namespace orvan::platform
