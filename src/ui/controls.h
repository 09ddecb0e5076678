// The control model: the state of every control of a window, as the form
// designer knows it. Windowless controls (labels, images, shapes, lines) are
// painted by their window and hit-tested here; list boxes, frames and option
// buttons have native peers that the front end makes by their kind
// (PeerMaker) and keeps in step (Change).
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "ui/scale.h"
#include "ui/types.h"

namespace orvan::ui {

class Canvas;
class Control;
class ListBox;
class Frame;
class OptionButton;

// What changed in a control, as its window and its peer hear of it.
struct Change {
    enum What {
        Look,      // what shows: place, visibility, caption, colours, font, row height, tooltip
        Inserted,  // a list's entry `index`
        Removed,   // a list's entry `index`
        Selected,  // a list's selection, now `index`
        Checked,   // an option button's value
        Timing,    // a timer's interval or running
    };
    Change(What changed, int at = -1, Rect paintedBefore = {}) : what(changed), index(at), before(paintedBefore) {}
    What what;
    int index;
    Rect before;  // Look: where the control could paint until now
};

// What a control asks of the window it is on.
class ControlHost {
public:
    // The one way a control's changes go out: the window paints a windowless
    // control's look again, and its peer shows the rest.
    virtual void ControlChanged(const Control& control, const Change& change) = 0;
    // The controls with native peers, in creation order.
    virtual const std::vector<Control*>& Windowed() const = 0;
    // How the window's twips map to its pixels.
    virtual const Scale& Scaling() const = 0;

protected:
    ~ControlHost() = default;
};

// The front end's maker of native peers: each windowed kind asks for its own.
class PeerMaker {
public:
    virtual void Make(ListBox& list) = 0;
    virtual void Make(Frame& frame) = 0;
    virtual void Make(OptionButton& option) = 0;

protected:
    ~PeerMaker() = default;
};

// What accessibility tools are told a windowless control is. None keeps a
// control from them: decoration (shapes, lines) and the native controls,
// which the system describes itself.
enum class AccessibleRole { None, PushButton, StaticText, Graphic };

// Arguments of the KeyDown event.
struct KeyArgs {
    int keyCode = 0;
    int shift = 0;
};

// Arguments of a list's OLEDragDrop event: the files dropped, and the entry
// under the point they were dropped at (-1: none).
struct DropArgs {
    int entry = -1;
    std::vector<platform::DroppedFile> files;
};

// Whether a list takes files dragged from other programs.
enum class OLEDropMode { None, Manual };

// Arguments of the MouseDown and MouseMove events.
struct MouseArgs {
    int button = 0;  // the button that went down (MouseDown), or the buttons held (MouseMove)
    int shift = 0;
    float x = 0;  // twips, relative to the control
    float y = 0;
};

class Control {
public:
    Control(ControlHost& host, std::string name, int index);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    int Index() const { return index_; }

    float Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Visible() const { return visible_; }
    bool Enabled() const { return enabled_; }

    // Every property that changes what is drawn is set through its setter,
    // which repaints what it changes (the old place and the new one for a
    // move) and nothing when the value stays.
    void SetLeft(float left);
    void SetVisible(bool visible);
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    // Position and size in twips, as the designer stores them.
    void Place(float left, int top, int width, int height);

    // The control's rectangle in client pixels at its window's scale, each
    // edge from its own twips; a control inside a container is placed from
    // the container's corner.
    Rect Bounds() const;
    // The same from the corner of its container, or of the window.
    Rect LocalBounds() const;
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
    // Windowed kinds ask `maker` for their native peer; the others have none.
    virtual void MakePeer(PeerMaker&) {}
    // `chosen` was selected: an option button of its group lets go.
    virtual void OtherChosen(const Control& /*chosen*/) {}

    // The focus moves between the windowed controls in this order; those
    // that take no focus (a frame) keep -1 and come first.
    int TabIndex = -1;

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
    // Sets a property that shows, and has it shown anew, when the value
    // really changes; setting the value it holds draws nothing.
    template <typename T, typename V>
    void Set(T& property, V&& value) {
        if (property == value) return;
        const Rect before = PaintExtent();
        property = std::forward<V>(value);
        Changed({Change::Look, -1, before});
    }
    void Changed(const Change& change) const { host_.ControlChanged(*this, change); }
    const ControlHost& Host() const { return host_; }

private:
    ControlHost& host_;
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
    Label(ControlHost& host, std::string name, int index = -1);

    const std::string& Caption() const { return caption_; }
    const Font& TextFont() const { return font_; }
    Color ForeColor() const { return foreColor_; }
    Color BackColor() const { return backColor_; }

    void SetCaption(std::string caption) { Set(caption_, std::move(caption)); }
    void SetTextFont(const Font& font) { Set(font_, font); }
    void SetForeColor(Color color) { Set(foreColor_, color); }
    void SetBackColor(Color color) { Set(backColor_, color); }
    void SetAlignment(Align alignment) { Set(alignment_, alignment); }
    // BackStyle: an opaque label fills its rectangle with BackColor.
    void SetOpaque(bool opaque) { Set(opaque_, opaque); }

    void Paint(Canvas& canvas) const override;
    bool TakesPointer() const override { return Visible() && Enabled(); }
    std::string AccessibleName() const override { return caption_; }

private:
    std::string caption_;
    Font font_;
    Color foreColor_ = kBlack;
    Color backColor_ = kBlack;
    Align alignment_ = Align::Left;
    bool opaque_ = true;
};

// The look every label button shares: idle, opaque, "Tahoma" 12 pt bold in
// the button-text colour, centred from the top edge; a push button to
// accessibility tools.
void DefineLabelButton(Label& label, const char* caption, float left, int top, int width);

class Image : public Control {
public:
    Image(ControlHost& host, std::string name);

    PictureId Picture() const { return picture_; }
    // Stretched to fill the control, or at the picture's own size.
    bool Stretch() const { return stretch_; }
    void SetPicture(PictureId picture) { Set(picture_, picture); }
    void SetStretch(bool stretch) { Set(stretch_, stretch); }

    // The picture in a few words, for those who cannot see it.
    std::string AltText;
    void Paint(Canvas& canvas) const override;
    bool TakesPointer() const override { return Visible() && Enabled(); }
    std::string AccessibleName() const override { return AltText; }

private:
    PictureId picture_ = PictureId::None;
    bool stretch_ = false;
};

enum class ShapeKind { Rectangle, Circle };

class Shape : public Control {
public:
    Shape(ControlHost& host, std::string name, int index);

    void SetFigure(ShapeKind figure) { Set(figure_, figure); }
    void SetFillColor(Color color) { Set(fillColor_, color); }

    void Paint(Canvas& canvas) const override;

private:
    ShapeKind figure_ = ShapeKind::Rectangle;
    Color fillColor_ = kBlack;
};

class Line : public Control {
public:
    Line(ControlHost& host, std::string name, int index);

    // The ends, in twips in the container's coordinates, as {x1, y1, x2, y2}.
    Rect Ends() const { return ends_; }
    // Repaints where the line was and where it goes.
    void SetEnds(int x1, int y1, int x2, int y2);
    void SetBorderColor(Color color) { Set(borderColor_, color); }

    void Paint(Canvas& canvas) const override;
    // Its ends, both drawn, whatever its bounds.
    Rect PaintExtent() const override;

private:
    // The two ends in client pixels, as {x1, y1, x2, y2}.
    Rect PixelEnds() const;

    Rect ends_;
    Color borderColor_ = kBlack;
};

enum class ListOrder { AsAdded, Sorted };

class ListBox : public Control {
public:
    // A sorted list keeps its entries in order as they are added; the order
    // is the list's for its life, as the designer fixes it.
    ListBox(ControlHost& host, std::string name, ListOrder order = ListOrder::AsAdded);

    bool Sorted() const { return order_ == ListOrder::Sorted; }

    const Font& TextFont() const { return font_; }
    Color BackColor() const { return backColor_; }
    Color ForeColor() const { return foreColor_; }
    // Every row alike: twips as the layout gives them, pixels at the
    // window's scale.
    int RowHeight() const { return Host().Scaling().Repeating(rowTwips_); }
    void SetTextFont(const Font& font) { Set(font_, font); }
    void SetBackColor(Color color) { Set(backColor_, color); }
    void SetForeColor(Color color) { Set(foreColor_, color); }
    void SetRowTwips(int twips) { Set(rowTwips_, twips); }

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

    // Files dragged from other programs are offered to OLEDragDrop when the
    // list takes them; as the designer fixes it, for the list's life.
    OLEDropMode DropMode() const { return dropMode_; }
    void SetOLEDropMode(OLEDropMode mode) { dropMode_ = mode; }
    std::function<void(const DropArgs&)> OLEDragDrop;

    // The key that starts entry `index`, as accessibility tools read it
    // ("1"); empty for none, which is every entry's unless set.
    std::string EntryShortcut(int index) const;
    void SetEntryShortcuts(std::vector<std::string> keys) { shortcuts_ = std::move(keys); }

    void MakePeer(PeerMaker& maker) override { maker.Make(*this); }

private:
    ListOrder order_;
    Font font_;
    Color backColor_ = kBlack;
    Color foreColor_ = kBlack;
    int rowTwips_ = 195;  // 13 pixels at 96 DPI
    std::vector<std::string> items_;
    int listIndex_ = -1;
    std::vector<std::string> shortcuts_;
    OLEDropMode dropMode_ = OLEDropMode::None;
};

class Timer : public Control {
public:
    Timer(ControlHost& host, std::string name);
    int Interval() const { return interval_; }  // milliseconds
    bool TimerEnabled() const { return timerEnabled_; }
    // Either change restarts the timer from now.
    void SetInterval(int milliseconds);
    void SetTimerEnabled(bool enabled);
    std::function<void()> Tick;

private:
    int interval_ = 0;
    bool timerEnabled_ = true;
};

class Frame : public Control {
public:
    Frame(ControlHost& host, std::string name);

    const std::string& Caption() const { return caption_; }
    Color BackColor() const { return backColor_; }
    Color ForeColor() const { return foreColor_; }
    void SetCaption(std::string caption) { Set(caption_, std::move(caption)); }
    void SetBackColor(Color color) { Set(backColor_, color); }
    void SetForeColor(Color color) { Set(foreColor_, color); }

    void MakePeer(PeerMaker& maker) override { maker.Make(*this); }

private:
    std::string caption_;
    Color backColor_ = kBlack;
    Color foreColor_ = kBlack;
};

class OptionButton : public Control {
public:
    OptionButton(ControlHost& host, std::string name);

    const std::string& Caption() const { return caption_; }
    const std::string& ToolTipText() const { return toolTipText_; }
    Color BackColor() const { return backColor_; }
    Color ForeColor() const { return foreColor_; }
    void SetCaption(std::string caption) { Set(caption_, std::move(caption)); }
    void SetToolTipText(std::string text) { Set(toolTipText_, std::move(text)); }
    void SetBackColor(Color color) { Set(backColor_, color); }
    void SetForeColor(Color color) { Set(foreColor_, color); }

    bool Value() const { return value_; }
    // Selecting a button clears the others of its container and raises its
    // Click, as the designer's option buttons do.
    void SetValue(bool value);
    // The user clicked the button: it is selected, and a click on the
    // selected one raises Click again.
    void ClickedByUser();

    void MakePeer(PeerMaker& maker) override { maker.Make(*this); }
    void OtherChosen(const Control& chosen) override;

private:
    std::string caption_;
    std::string toolTipText_;
    Color backColor_ = kBlack;
    Color foreColor_ = kBlack;
    bool value_ = false;
};

}  // namespace orvan::ui
