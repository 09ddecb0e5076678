#include "ui/hover.h"

namespace orvan::ui {

void Hover(const std::vector<HoverStep>& steps) {
    for (const HoverStep& step : steps) {
        Label& button = *step.button;
        if (step.kind == HoverStep::kLight && button.BackColor() == kIdleColor) button.SetBackColor(kLitColor);
        if (step.kind == HoverStep::kClear && button.BackColor() == kLitColor) button.SetBackColor(kIdleColor);
    }
}

void BindHover(Form& form, const std::vector<HoverRow>& rule) {
    for (const HoverRow& row : rule) {
        auto handler = [steps = row.steps](const MouseArgs&) { Hover(steps); };
        if (row.over)
            row.over->MouseMove = handler;
        else
            form.SurfaceMouseMove = handler;
    }
}

}  // namespace orvan::ui
