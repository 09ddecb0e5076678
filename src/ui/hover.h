// The hover steps that both windows' label buttons follow: light turns an
// idle button lit, clear turns a lit button idle; a button holding any other
// colour is left alone.
#pragma once

#include "ui/controls.h"

namespace orvan::ui {

inline void LightHover(Label& button) {
    if (button.BackColor() == kIdleColor) button.SetBackColor(kLitColor);
}

inline void ClearHover(Label& button) {
    if (button.BackColor() == kLitColor) button.SetBackColor(kIdleColor);
}

}  // namespace orvan::ui
