// The console window as it stands when it is created: every control with
// its caption, position, colours, font and initial state, in drawing order.
#pragma once

#include <array>
#include <string>

#include "ui/form.h"

namespace orvan::ui {

// The Open-file dialog control: a definition only, shown by its owner.
struct CommonDialogDefinition {
    std::string DialogTitle;
    std::string Filter;  // "Description|pattern|Description|pattern"
    std::string DefaultExt;
    int FilterIndex = 1;
};

class ConsoleLayout : public Form {
public:
    ConsoleLayout();

    // Label buttons, in the order the opening slide moves them.
    Label Edit, Options, Windows, User, Define;
    Label lblWindows, lblUser;
    // The About panel; index 1 of the control array does not exist.
    std::array<Label, 4> lblAbout;
    Image Image1, Vostek;
    // The shape array holds the indexes 21, 22 and 12, in that order.
    std::array<Shape, 3> shpOrvan;
    ListBox lstWindows, lstUser;
    Timer tmrAnimate;
    CommonDialogDefinition cdbUserTasks;

    // The opening slide: the buttons move from the start to the working
    // column one step a pass.
    static constexpr float kButtonStartLeft = -2520.0f;
    static constexpr float kButtonWorkLeft = 180.0f;
    static constexpr float kSlideStep = 30.0f;
    static constexpr int kSlidePasses = 90;
    static_assert(kButtonStartLeft + kSlideStep * kSlidePasses == kButtonWorkLeft);
};

}  // namespace orvan::ui
