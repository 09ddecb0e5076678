// The Options dialog as it stands when it is loaded.
#pragma once

#include <array>

#include "ui/form.h"

namespace orvan::ui {

class OptionsLayout : public Form {
public:
    OptionsLayout();

    Frame fraLaunch;
    Label OK, Cancel;
    OptionButton optNormBack, optNormFront, optMin, optMax;
    std::array<Line, 2> linOrvan;

    static constexpr Color kOrange = 0x008CFF;  // red 255, green 140, blue 0
};

}  // namespace orvan::ui
