#include "ui/form.h"

#include <algorithm>
#include <utility>

namespace orvan::ui {

Form::Form(std::string name) : name_(std::move(name)) {}

std::vector<Control*> Form::TabOrder() const {
    std::vector<Control*> order = windowed_;
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->TabIndex < b->TabIndex; });
    return order;
}

Size Form::LayoutTwips() const {
    if (picture_ != PictureId::None) return PictureTwips(picture_);
    return {ClientWidth, ClientHeight};
}

void Form::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (!enabled) pressed_ = nullptr;
    if (peer_) peer_->EnabledChanged(enabled);
}

template <typename T, typename V>
void Form::Set(T& property, V&& value) {
    if (property == value) return;
    property = std::forward<V>(value);
    if (peer_) peer_->FormChanged();
}

void Form::SetCaption(std::string caption) { Set(caption_, std::move(caption)); }
void Form::SetBackColor(Color color) { Set(backColor_, color); }
void Form::SetForeColor(Color color) { Set(foreColor_, color); }
void Form::SetTextFont(const Font& font) { Set(font_, font); }
void Form::SetPicture(PictureId picture) { Set(picture_, picture); }

void Form::ControlChanged(const Control& control, const Change& change) {
    if (!peer_) return;
    if (change.what != Change::Look || std::ranges::find(windowed_, &control) != windowed_.end()) {
        peer_->ControlChanged(control, change);
    } else if (control.Container()) {
        peer_->ControlChanged(*control.Container(), change);
    } else {
        const Rect area = change.before.Union(control.PaintExtent());
        if (!area.Empty()) peer_->Invalidate(area);
    }
}

void Form::Paint(Canvas& canvas, const Rect& clip) const {
    if (picture_ != PictureId::None) canvas.DrawPicture(picture_, {0, 0, 1 << 14, 1 << 14}, false);
    for (auto it = drawingOrder_.rbegin(); it != drawingOrder_.rend(); ++it)
        if (!(*it)->Container() && !(*it)->PaintExtent().Intersect(clip).Empty()) (*it)->Paint(canvas);
}

Rect Form::PaintedArea(int pictureWidth, int pictureHeight) const {
    Rect area{0, 0, pictureWidth, pictureHeight};
    for (const Control* c : drawingOrder_) area = area.Union(c->Bounds());
    area.left = std::max(area.left, 0);
    area.top = std::max(area.top, 0);
    return area;
}

void Form::PaintContained(Canvas& canvas, const Control& container) const {
    for (auto it = drawingOrder_.rbegin(); it != drawingOrder_.rend(); ++it)
        if ((*it)->Container() == &container) (*it)->Paint(canvas);
}

Control* Form::HitTest(int x, int y) const {
    for (Control* c : drawingOrder_)
        if (c->TakesPointer() && c->Bounds().Contains(x, y)) return c;
    return nullptr;
}

std::vector<Control*> Form::AccessibleControls() const {
    std::vector<Control*> seen;
    for (Control* c : drawingOrder_)
        if (c->Role() != AccessibleRole::None) seen.push_back(c);
    return seen;
}

bool Form::Pressable(const Control& control) const {
    return enabled_ && control.Role() == AccessibleRole::PushButton && control.TakesPointer() && control.Click;
}

bool Form::Press(Control& control) {
    if (!Pressable(control)) return false;
    control.Click();
    return true;
}

MouseArgs Form::ArgsAt(int button, int shift, int x, int y) const {
    return {button, shift, static_cast<float>(scale_.Twips(x)), static_cast<float>(scale_.Twips(y))};
}

MouseArgs Form::ArgsFor(const Control* control, int button, int shift, int x, int y) const {
    const Rect origin = control ? control->Bounds() : Rect{};
    return ArgsAt(button, shift, x - origin.left, y - origin.top);
}

void Form::PointerMove(int buttons, int shift, int x, int y) {
    if (!enabled_) return;
    Control* target = HitTest(x, y);
    MouseArgs args = ArgsFor(target, buttons, shift, x, y);
    if (target) {
        if (target->MouseMove) target->MouseMove(args);
    } else if (SurfaceMouseMove) {
        SurfaceMouseMove(args);
    }
}

void Form::PointerDown(int button, int shift, int x, int y, bool doubleClick) {
    if (!enabled_) return;
    Control* target = HitTest(x, y);
    if (button == kLeftButton) {
        // The second press of a double-click raises DblClick instead of a
        // press, so it never completes a second Click.
        pressed_ = nullptr;
        if (doubleClick) {
            if (target && target->DblClick) target->DblClick();
            return;
        }
        pressed_ = target;
    }
    MouseArgs args = ArgsFor(target, button, shift, x, y);
    if (target) {
        if (target->MouseDown) target->MouseDown(args);
    } else if (SurfaceMouseDown) {
        SurfaceMouseDown(args);
    }
}

void Form::ControlPointerMove(Control& control, int buttons, int shift, int x, int y) {
    if (enabled_ && control.MouseMove) control.MouseMove(ArgsAt(buttons, shift, x, y));
}

void Form::ControlPointerDown(Control& control, int button, int shift, int x, int y) {
    if (enabled_ && control.MouseDown) control.MouseDown(ArgsAt(button, shift, x, y));
}

void Form::ControlFilesDropped(ListBox& list, const DropArgs& drop) {
    if (enabled_ && list.DropMode() == OLEDropMode::Manual && list.OLEDragDrop) list.OLEDragDrop(drop);
}

bool Form::KeyDown(Control* control, int keyCode, int shift) {
    if (!enabled_) return false;
    const KeyArgs args{keyCode, shift};
    if (control) return control->KeyDown && control->KeyDown(args);
    return FormKeyDown && FormKeyDown(args);
}

void Form::PointerUp(int button, int /*shift*/, int x, int y) {
    if (!enabled_ || button != kLeftButton) return;
    Control* pressed = pressed_;
    pressed_ = nullptr;
    if (pressed && HitTest(x, y) == pressed && pressed->Click) pressed->Click();
}

}  // namespace orvan::ui
