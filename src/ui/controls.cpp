#include "ui/controls.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "ui/peer.h"

namespace orvan::ui {

namespace {

// The order a sorted list keeps: case-insensitive, as the native list sorts,
// bytes above ASCII after it.
bool SortsBefore(const std::string& a, const std::string& b) {
    const auto folded = [](char c) { return static_cast<unsigned char>(platform::AsciiLower(c)); };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return folded(x) < folded(y); });
}

}  // namespace

Rect Rect::Union(const Rect& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
}

Rect Rect::Intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    return r.Empty() ? Rect{} : r;
}

// ------------------------------------------------------------------ Control

Control::Control(ControlHost& host, std::string name, int index) : host_(host), name_(std::move(name)), index_(index) {}

void Control::Place(float left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const Rect before = PaintExtent();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed({Change::Look, -1, before});
}

Rect Control::LocalBounds() const {
    const Scale& scale = host_.Scaling();
    return {scale.Pixels(left_), scale.Pixels(top_), scale.Pixels(double{left_} + width_),
            scale.Pixels(top_ + height_)};
}

Rect Control::Bounds() const {
    const Rect local = LocalBounds();
    const Rect outer = container_ ? container_->Bounds() : Rect{};
    return {local.left + outer.left, local.top + outer.top, local.right + outer.left, local.bottom + outer.top};
}

void Control::SetLeft(float left) { Set(left_, left); }

void Control::SetVisible(bool visible) { Set(visible_, visible); }

// ------------------------------------------------------------------ Label

Label::Label(ControlHost& host, std::string name, int index) : Control(host, std::move(name), index) {
    SetRole(AccessibleRole::StaticText);
}

void Label::Paint(Canvas& canvas) const {
    if (!Visible()) return;
    Rect r = Bounds();
    if (opaque_) canvas.FillRect(r, backColor_);
    canvas.DrawText(r, caption_, font_, foreColor_, alignment_);
}

void DefineLabelButton(Label& label, const char* caption, float left, int top, int width) {
    label.SetCaption(caption);
    label.SetTextFont(Font{"Tahoma", 12, 700});
    label.SetForeColor(kButtonTextColor);
    label.SetBackColor(kIdleColor);
    label.SetAlignment(Align::Center);
    label.Place(left, top, width, 315);
    label.SetRole(AccessibleRole::PushButton);
}

// ------------------------------------------------------------------ Image, Shape, Line

Image::Image(ControlHost& host, std::string name) : Control(host, std::move(name), -1) {
    SetRole(AccessibleRole::Graphic);
}

void Image::Paint(Canvas& canvas) const {
    if (Visible() && picture_ != PictureId::None) canvas.DrawPicture(picture_, Bounds(), stretch_);
}

Shape::Shape(ControlHost& host, std::string name, int index) : Control(host, std::move(name), index) {}

void Shape::Paint(Canvas& canvas) const {
    if (!Visible()) return;
    Rect r = Bounds();
    if (figure_ == ShapeKind::Rectangle) {
        canvas.FillRect(r, fillColor_);
        return;
    }
    // A circle takes the smaller side as its diameter, centred in the rectangle.
    int d = std::min(r.Width(), r.Height());
    int x = r.left + (r.Width() - d) / 2;
    int y = r.top + (r.Height() - d) / 2;
    canvas.FillEllipse({x, y, x + d, y + d}, fillColor_);
}

Line::Line(ControlHost& host, std::string name, int index) : Control(host, std::move(name), index) {}

Rect Line::PixelEnds() const {
    int ox = 0, oy = 0;
    if (Container()) {
        Rect outer = Container()->Bounds();
        ox = outer.left;
        oy = outer.top;
    }
    const Scale& scale = Host().Scaling();
    return {ox + scale.Pixels(ends_.left), oy + scale.Pixels(ends_.top), ox + scale.Pixels(ends_.right),
            oy + scale.Pixels(ends_.bottom)};
}

void Line::SetEnds(int x1, int y1, int x2, int y2) { Set(ends_, Rect{x1, y1, x2, y2}); }

void Line::Paint(Canvas& canvas) const {
    if (!Visible()) return;
    const Rect e = PixelEnds();
    canvas.DrawLine(e.left, e.top, e.right, e.bottom, borderColor_);
}

Rect Line::PaintExtent() const {
    const Rect e = PixelEnds();
    return {std::min(e.left, e.right), std::min(e.top, e.bottom), std::max(e.left, e.right) + 1,
            std::max(e.top, e.bottom) + 1};
}

// ------------------------------------------------------------------ ListBox

ListBox::ListBox(ControlHost& host, std::string name, ListOrder order)
    : Control(host, std::move(name), -1), order_(order) {}

void ListBox::AddItem(const std::string& text) {
    auto at = items_.end();
    if (Sorted()) at = std::upper_bound(items_.begin(), items_.end(), text, SortsBefore);
    int index = static_cast<int>(at - items_.begin());
    items_.insert(at, text);
    if (listIndex_ >= index) ++listIndex_;
    Changed({Change::Inserted, index});
}

void ListBox::RemoveItem(int index) {
    if (index < 0 || index >= ListCount()) throw std::out_of_range("list index out of range");
    items_.erase(items_.begin() + index);
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
    Changed({Change::Removed, index});
}

void ListBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) throw std::out_of_range("list index out of range");
    listIndex_ = index;
    Changed({Change::Selected, index});
}

void ListBox::SetText(const std::string& text) {
    auto it = std::find_if(items_.begin(), items_.end(),
                           [&](const std::string& s) { return platform::EqualsIgnoringAsciiCase(s, text); });
    SetListIndex(it == items_.end() ? -1 : static_cast<int>(it - items_.begin()));
}

std::string ListBox::EntryShortcut(int index) const {
    if (index < 0 || index >= static_cast<int>(shortcuts_.size())) return {};
    return shortcuts_[static_cast<std::size_t>(index)];
}

void ListBox::SelectedByUser(int index) {
    if (index >= -1 && index < ListCount()) listIndex_ = index;
}

// ------------------------------------------------------------------ Timer, Frame, OptionButton

Timer::Timer(ControlHost& host, std::string name) : Control(host, std::move(name), -1) {}

void Timer::SetInterval(int milliseconds) {
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    Changed({Change::Timing});
}

void Timer::SetTimerEnabled(bool enabled) {
    if (enabled == timerEnabled_) return;
    timerEnabled_ = enabled;
    Changed({Change::Timing});
}

Frame::Frame(ControlHost& host, std::string name) : Control(host, std::move(name), -1) {}

OptionButton::OptionButton(ControlHost& host, std::string name) : Control(host, std::move(name), -1) {}

void OptionButton::ClickedByUser() {
    if (!value_) {
        SetValue(true);
    } else if (Click) {
        Click();
    }
}

void OptionButton::SetValue(bool value) {
    if (value == value_) return;
    value_ = value;
    if (value)
        for (Control* c : Host().Windowed()) c->OtherChosen(*this);
    Changed({Change::Checked});
    if (value && Click) Click();
}

void OptionButton::OtherChosen(const Control& chosen) {
    // The buttons of one container are one group.
    if (&chosen == this || chosen.Container() != Container() || !value_) return;
    value_ = false;
    Changed({Change::Checked});
}

}  // namespace orvan::ui
