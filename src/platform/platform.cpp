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

}  // namespace orvan::platform
