// The control model: the state of every control of a window, as the form
// designer knows it. Windowless controls (labels, images, shapes, lines) are
// painted by their window and hit-tested here; list boxes, frames and option
// buttons have native peers that the front end keeps in step.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/types.h"

namespace orvan::ui {

class Form;
class Canvas;

enum class ControlKind { Label, Image, Shape, Line, ListBox, Timer, Frame, OptionButton };

// What accessibility tools are told a windowless control is. None keeps a
// control from them: decoration (shapes, lines) and the native controls,
// which the system describes itself.
enum class AccessibleRole { None, PushButton, StaticText, Graphic };

// Arguments of the KeyDown event.
struct KeyArgs {
    int keyCode = 0;
    int shift = 0;
};

// Arguments of the MouseDown and MouseMove events.
struct MouseArgs {
    int button = 0;  // the button that went down (MouseDown), or the buttons held (MouseMove)
    int shift = 0;
    float x = 0;  // twips, relative to the control
    float y = 0;
};

class Control {
public:
    Control(Form& form, ControlKind kind, std::string name, int index);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    int Index() const { return index_; }
    ControlKind Kind() const { return kind_; }
    Form& Parent() const { return form_; }

    float Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Visible() const { return visible_; }
    bool Enabled() const { return enabled_; }

    void SetLeft(float left);
    void SetVisible(bool visible);
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    // Position and size in twips, as the designer stores them.
    void Place(float left, int top, int width, int height);

    // The control's rectangle in client pixels; a control inside a
    // container is placed from the container's corner.
    Rect Bounds() const;
    void SetContainer(const Control* container) { container_ = container; }
    const Control* Container() const { return container_; }

    // Windowless controls only.
    virtual void Paint(Canvas&) const {}
    // Where Paint can reach, in client pixels: the bounds, unless the
    // control draws by other coordinates.
    virtual Rect PaintExtent() const { return Bounds(); }
    // Whether pointer events over the control stop here (true) or pass to
    // what lies beneath.
    virtual bool TakesPointer() const { return false; }

    AccessibleRole Role() const { return role_; }
    void SetRole(AccessibleRole role) { role_ = role; }
    // What accessibility tools read out for the control.
    virtual std::string AccessibleName() const { return {}; }
    // What they read after the name, when the name alone does not tell the
    // control from another.
    std::string AccessibleDescription;

    std::function<void(const MouseArgs&)> MouseDown;
    std::function<void(const MouseArgs&)> MouseMove;
    std::function<void()> Click;
    std::function<void()> DblClick;
    // A key went down while the control had the focus; true when the
    // handler used it, so the system does nothing more with it.
    std::function<bool(const KeyArgs&)> KeyDown;

protected:
    void Repaint() const;

private:
    Form& form_;
    ControlKind kind_;
    std::string name_;
    int index_;
    float left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    const Control* container_ = nullptr;
    AccessibleRole role_ = AccessibleRole::None;
};

class Label : public Control {
public:
    Label(Form& form, std::string name, int index = -1);

    std::string Caption;
    Font font;
    Color ForeColor = kBlack;
    Align Alignment = Align::Left;
    bool Opaque = true;  // BackStyle: opaque fills the rectangle with BackColor

    Color BackColor() const { return backColor_; }
    // Repaints the label only when the colour really changes.
    void SetBackColor(Color color);
    void InitBackColor(Color color) { backColor_ = color; }

    void Paint(Canvas& canvas) const override;
    bool TakesPointer() const override { return Visible() && Enabled(); }
    std::string AccessibleName() const override { return Caption; }

private:
    Color backColor_ = kBlack;
};

// The look every label button shares: idle, opaque, "Tahoma" 12 pt bold in
// the button-text colour, centred from the top edge; a push button to
// accessibility tools.
void DefineLabelButton(Label& label, const char* caption, float left, int top, int width);

class Image : public Control {
public:
    Image(Form& form, std::string name);
    PictureId Picture = PictureId::None;
    bool Stretch = false;
    // The picture in a few words, for those who cannot see it.
    std::string AltText;
    void Paint(Canvas& canvas) const override;
    bool TakesPointer() const override { return Visible() && Enabled(); }
    std::string AccessibleName() const override { return AltText; }
};

enum class ShapeKind { Rectangle, Circle };

class Shape : public Control {
public:
    Shape(Form& form, std::string name, int index);
    ShapeKind Kind = ShapeKind::Rectangle;
    Color FillColor = kBlack;
    void Paint(Canvas& canvas) const override;
};

class Line : public Control {
public:
    Line(Form& form, std::string name, int index);
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;  // twips, in the container's coordinates
    Color BorderColor = kBlack;
    void Paint(Canvas& canvas) const override;
    // Its ends, both drawn, whatever its bounds.
    Rect PaintExtent() const override;

private:
    // The two ends in client pixels, as {x1, y1, x2, y2}.
    Rect Ends() const;
};

class ListBox : public Control {
public:
    ListBox(Form& form, std::string name);

    bool Sorted = false;
    Font font;
    Color BackColor = kBlack;
    Color ForeColor = kBlack;
    int TabIndex = 0;
    int RowHeight = 13;  // pixels, every row alike

    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::string& List(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    const std::vector<std::string>& Items() const { return items_; }
    int ListIndex() const { return listIndex_; }

    // Adds at the end, or at the sorted place for a sorted list.
    void AddItem(const std::string& text);
    // Throws std::out_of_range for an index outside the list.
    void RemoveItem(int index);
    // -1 clears the selection; throws std::out_of_range outside -1..count-1.
    void SetListIndex(int index);
    // Selects the first entry equal to text (ignoring case), as setting a
    // list's Text does; no match clears the selection.
    void SetText(const std::string& text);

    // The user moved the selection in the native list: no echo to the peer.
    void SelectedByUser(int index);

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

class Timer : public Control {
public:
    Timer(Form& form, std::string name);
    int Interval = 0;  // milliseconds
    bool TimerEnabled() const { return timerEnabled_; }
    void SetTimerEnabled(bool enabled);
    std::function<void()> Tick;

private:
    bool timerEnabled_ = true;
};

class Frame : public Control {
public:
    Frame(Form& form, std::string name);
    std::string Caption;
    Color BackColor = kBlack;
    Color ForeColor = kBlack;
};

class OptionButton : public Control {
public:
    OptionButton(Form& form, std::string name);
    std::string Caption;
    std::string ToolTipText;
    Color BackColor = kBlack;
    Color ForeColor = kBlack;
    int TabIndex = 0;

    bool Value() const { return value_; }
    // Selecting a button clears the others of its container and raises its
    // Click, as the designer's option buttons do.
    void SetValue(bool value);
    // The user clicked the button: it is selected, and a click on the
    // selected one raises Click again.
    void ClickedByUser();
    void InitValue(bool value) { value_ = value; }

private:
    bool value_ = false;
};

}  // namespace orvan::ui
