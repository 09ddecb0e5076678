// The hover rule of a window's label buttons, as data: for each control the
// pointer moves over (or the window's own surface), the steps it takes, in
// order. Light turns an idle button lit, clear turns a lit button idle; a
// button holding any other colour is left alone, so no step ever writes the
// colour a button already has.
#pragma once

#include <vector>

#include "ui/form.h"

namespace orvan::ui {

struct HoverStep {
    enum Kind { kLight, kClear } kind;
    Label* button;
};

inline HoverStep Light(Label& button) { return {HoverStep::kLight, &button}; }
inline HoverStep Clear(Label& button) { return {HoverStep::kClear, &button}; }

struct HoverRow {
    Control* over;  // nullptr: the window's surface
    std::vector<HoverStep> steps;
};

// Takes the steps, in order.
void Hover(const std::vector<HoverStep>& steps);

// Makes each row's steps the MouseMove handler of its control (the
// surface's row, the form's SurfaceMouseMove).
void BindHover(Form& form, const std::vector<HoverRow>& rule);

}  // namespace orvan::ui
