#include "ui/accessibility.h"

#include <climits>
#include <cstdlib>
#include <utility>

namespace orvan::ui {

AccessibleWindow::AccessibleWindow(const Form& form, std::vector<NativeChild> natives, Rect client, bool windowEnabled)
    : form_(form),
      controls_(form.AccessibleControls()),
      natives_(std::move(natives)),
      client_(client),
      windowEnabled_(windowEnabled) {}

Control* AccessibleWindow::ControlOf(int id) const {
    if (id < 1 || id > static_cast<int>(controls_.size())) return nullptr;
    return controls_[static_cast<std::size_t>(id - 1)];
}

std::optional<std::size_t> AccessibleWindow::NativeOf(int id) const {
    const int native = id - static_cast<int>(controls_.size());
    if (native < 1 || native > static_cast<int>(natives_.size())) return std::nullopt;
    return static_cast<std::size_t>(native - 1);
}

std::optional<int> AccessibleWindow::Navigate(int from, NavDirection direction) const {
    if (!Exists(from)) return 0;
    const int count = ChildCount();
    if (from == 0) {
        if (direction == NavDirection::FirstChild) return count > 0 ? 1 : 0;
        if (direction == NavDirection::LastChild) return count;
        return std::nullopt;
    }
    switch (direction) {
    case NavDirection::Next:
        return from < count ? from + 1 : 0;
    case NavDirection::Previous:
        return from - 1;
    case NavDirection::FirstChild:
    case NavDirection::LastChild:
        // A control has no children; a native child's are the system's.
        if (ControlOf(from)) return 0;
        return std::nullopt;
    default:
        return Nearest(from, direction);
    }
}

std::optional<Rect> AccessibleWindow::PlaceOf(int id) const {
    if (const Control* control = ControlOf(id)) {
        if (!control->Visible()) return std::nullopt;
        return control->Bounds();
    }
    if (std::optional<std::size_t> native = NativeOf(id)) {
        if (!natives_[*native].visible) return std::nullopt;
        return natives_[*native].bounds;
    }
    return std::nullopt;
}

// The visible child wholly beyond `from` in the direction: the nearest edge
// first, then the one most in line.
int AccessibleWindow::Nearest(int from, NavDirection direction) const {
    const Rect a = PlaceOf(from).value_or(Rect{});
    const bool vertical = direction == NavDirection::Up || direction == NavDirection::Down;
    int best = 0;
    long long bestGap = LLONG_MAX, bestSkew = LLONG_MAX;
    for (int id = 1; id <= ChildCount(); ++id) {
        const std::optional<Rect> place = PlaceOf(id);
        if (id == from || !place) continue;
        const Rect& b = *place;
        long long gap = 0;
        switch (direction) {
        case NavDirection::Up:
            gap = a.top - b.bottom;
            break;
        case NavDirection::Down:
            gap = b.top - a.bottom;
            break;
        case NavDirection::Left:
            gap = a.left - b.right;
            break;
        default:
            gap = b.left - a.right;
            break;
        }
        if (gap < 0) continue;
        const long long skew = vertical ? std::llabs(static_cast<long long>(a.left + a.right) - (b.left + b.right))
                                        : std::llabs(static_cast<long long>(a.top + a.bottom) - (b.top + b.bottom));
        if (gap < bestGap || (gap == bestGap && skew < bestSkew)) {
            best = id;
            bestGap = gap;
            bestSkew = skew;
        }
    }
    return best;
}

std::optional<int> AccessibleWindow::HitTest(int x, int y) const {
    if (!client_.Contains(x, y)) return std::nullopt;
    for (std::size_t i = 0; i < natives_.size(); ++i)
        if (natives_[i].visible && natives_[i].bounds.Contains(x, y)) return static_cast<int>(controls_.size() + i + 1);
    // A picture that lets the pointer through is still what lies there to
    // someone who cannot see it.
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i]->Visible() && controls_[i]->Bounds().Contains(x, y)) return static_cast<int>(i + 1);
    return 0;
}

bool AccessibleWindow::Pressable(const Control& control) const { return windowEnabled_ && form_.Pressable(control); }

unsigned AccessibleWindow::StatesOf(const Control& control) const {
    unsigned states = 0;
    if (!control.Visible())
        states |= kStateInvisible;
    else if (control.Bounds().Intersect(client_).Empty())
        states |= kStateOffscreen;
    if (control.Role() == AccessibleRole::PushButton) {
        if (!Pressable(control)) states |= kStateUnavailable;
    } else {
        states |= kStateReadOnly;
        if (!control.Enabled()) states |= kStateUnavailable;
    }
    return states;
}

std::string AccessibleWindow::DefaultActionOf(const Control& control) const {
    return control.Role() == AccessibleRole::PushButton ? "Press" : "";
}

}  // namespace orvan::ui
