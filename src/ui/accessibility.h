// A window as accessibility tools see it: its children and how they are
// numbered, what each one is, where a tool moves from one to the next, what
// lies under a point, and what pressing does. The front end only turns these
// answers into the system's accessibility objects.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/types.h"

namespace orvan::ui {

// The directions a tool moves in, as the system's navigation names them.
enum class NavDirection { Up, Down, Left, Right, Next, Previous, FirstChild, LastChild };

// States as flags; a control in none of them is an ordinary, available one.
enum AccessibleState : unsigned {
    kStateUnavailable = 1,  // a button that cannot be pressed, a picture that ignores the pointer
    kStateInvisible = 2,
    kStateOffscreen = 4,
    kStateReadOnly = 8,  // texts and pictures: nothing to change
};

// A native child window as the front end reports it, in client pixels.
struct NativeChild {
    Rect bounds;
    bool visible = true;
};

// One moment's view of a window. Child 0 is the window itself; children
// 1..n are the windowless controls with a role, top of the stack first;
// after them come the native children, in the order given.
class AccessibleWindow {
public:
    // `windowEnabled`: whether the native window takes input now (a message
    // box may hold it without the model knowing).
    AccessibleWindow(const Form& form, std::vector<NativeChild> natives, Rect client, bool windowEnabled);

    int ChildCount() const { return static_cast<int>(controls_.size() + natives_.size()); }
    // The control child `id` names, or nullptr for the window or a native child.
    Control* ControlOf(int id) const;
    // The index among the native children of child `id`, or nothing.
    std::optional<std::size_t> NativeOf(int id) const;
    bool Exists(int id) const { return id >= 0 && id <= ChildCount(); }

    // Where a tool lands moving from child `from`: a child, 0 for nowhere,
    // or nothing when the system answers (the window among its siblings, a
    // native child's own children).
    std::optional<int> Navigate(int from, NavDirection direction) const;

    // The child under (x, y), client pixels: a visible native child first
    // (they lie above everything the window paints), then the topmost
    // visible control with a role, whether or not it takes the pointer, else
    // 0 for the window. Nothing outside the client area.
    std::optional<int> HitTest(int x, int y) const;

    unsigned StatesOf(const Control& control) const;
    // What the default action is called ("Press"), empty for none.
    std::string DefaultActionOf(const Control& control) const;
    // Whether a press would reach the control now.
    bool Pressable(const Control& control) const;

private:
    // Child `id`'s rectangle, when it is a visible child.
    std::optional<Rect> PlaceOf(int id) const;
    int Nearest(int from, NavDirection direction) const;

    const Form& form_;
    std::vector<Control*> controls_;
    std::vector<NativeChild> natives_;
    Rect client_;
    bool windowEnabled_;
};

}  // namespace orvan::ui
