// A window of the control model: its own properties, its controls in
// drawing order, and the routing of pointer input to the control under the
// pointer.
#pragma once

#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/peer.h"
#include "ui/types.h"

namespace orvan::ui {

enum class BorderStyle { None, FixedDialog };

class Form : public ControlHost {
public:
    explicit Form(std::string name);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }

    // The window's frame and place, read once, when its native window is
    // made (as the designer fixes them).
    BorderStyle Border = BorderStyle::None;
    bool ControlBox = false;
    bool StartMaximized = false;
    // Client area when not maximized, twips.
    int ClientLeft = 0, ClientTop = 0, ClientWidth = 0, ClientHeight = 0;

    // How the window's twips map to its pixels, chosen once, before its
    // native window is made (FitScale).
    const Scale& Scaling() const override { return scale_; }
    void SetScaling(Scale scale) { scale_ = scale; }
    // What the layout spans, in twips: its picture, or its client area.
    Size LayoutTwips() const;

    // What the window shows: each setter has the peer show the new value
    // (the title, or the whole client area painted again) when it changes.
    const std::string& Caption() const { return caption_; }
    Color BackColor() const { return backColor_; }
    // The colour of what the window's native children draw in its colours.
    Color ForeColor() const { return foreColor_; }
    // The font of the native children that have none of their own.
    const Font& TextFont() const { return font_; }
    PictureId Picture() const { return picture_; }
    void SetCaption(std::string caption);
    void SetBackColor(Color color);
    void SetForeColor(Color color);
    void SetTextFont(const Font& font);
    void SetPicture(PictureId picture);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Windowless controls, top of the stack first.
    const std::vector<Control*>& DrawingOrder() const { return drawingOrder_; }
    // Controls with native peers (lists, frames, option buttons), in
    // creation order.
    const std::vector<Control*>& Windowed() const override { return windowed_; }
    // The windowed controls in the order the focus moves through them:
    // containers (which take no focus) first, then by TabIndex.
    std::vector<Control*> TabOrder() const;
    const std::vector<Timer*>& Timers() const { return timers_; }

    // ---- the peer
    void Attach(WindowPeer* peer) { peer_ = peer; }
    WindowPeer* Peer() const { return peer_; }
    // A windowless control's look is painted again where it was and where
    // it is, one inside a native container by the container's peer; the
    // rest goes to the control's own peer.
    void ControlChanged(const Control& control, const Change& change) override;

    // ---- painting: the picture, then the windowless controls bottom up,
    // those that reach into `clip` (client pixels): what a window paints a
    // part at a time needs no more.
    void Paint(Canvas& canvas, const Rect& clip) const;
    // Where the picture (of the size given) and the windowless controls can
    // paint, within the client area: what lies beyond is bare background.
    // The opening slide starts the buttons left of the window, so the
    // area begins at the client's corner at the most.
    Rect PaintedArea(int pictureWidth, int pictureHeight) const;
    // Windowless controls that belong to a native container (a frame's
    // lines), in the form's client coordinates; the container's peer paints them.
    void PaintContained(Canvas& canvas, const Control& container) const;

    // ---- input from the front end, in client pixels; the pointer's
    // arguments come in the order of the events' own (MouseArgs).
    void PointerMove(int buttons, int shift, int x, int y);
    void PointerDown(int button, int shift, int x, int y, bool doubleClick);
    void PointerUp(int button, int shift, int x, int y);

    // Pointer input on a native control (a list), at pixels from the
    // control's corner: its own handlers, and nothing while the window is
    // disabled.
    void ControlPointerMove(Control& control, int buttons, int shift, int x, int y);
    void ControlPointerDown(Control& control, int button, int shift, int x, int y);
    // Files from another program dropped on the list (nothing while the
    // window is disabled).
    void ControlFilesDropped(ListBox& list, const DropArgs& drop);

    // A key went down on one of the form's native controls (`control`) or
    // on the window itself (nullptr). True when a handler used it.
    bool KeyDown(Control* control, int keyCode, int shift);

    // The topmost windowless control that takes pointer events at (x, y), or
    // nullptr for the window's own surface.
    Control* HitTest(int x, int y) const;

    // ---- accessibility
    // The windowless controls accessibility tools see, top of the stack first.
    std::vector<Control*> AccessibleControls() const;
    // Whether an accessibility tool's press would reach the control now: a
    // push button that takes clicks, on an enabled window.
    bool Pressable(const Control& control) const;
    // The tool's default action on a push button: runs what a click on it
    // runs, or nothing when it is not pressable; true when it ran.
    bool Press(Control& control);

    // Events of the window's own surface (where no control takes the pointer).
    std::function<void(const MouseArgs&)> SurfaceMouseDown;
    std::function<void(const MouseArgs&)> SurfaceMouseMove;
    // Keys that went down on the window itself.
    std::function<bool(const KeyArgs&)> FormKeyDown;

protected:
    // Registration in drawing order: call from the top of the stack down.
    void Stack(Control& control) { drawingOrder_.push_back(&control); }
    void AddWindowed(Control& control) { windowed_.push_back(&control); }
    void AddTimer(Timer& timer) { timers_.push_back(&timer); }

private:
    // Event arguments at pixels from a control's corner, or from the
    // window's for the surface.
    MouseArgs ArgsAt(int button, int shift, int x, int y) const;
    MouseArgs ArgsFor(const Control* control, int button, int shift, int x, int y) const;

    // A property of the window itself changed to `value`: mirrored when it differs.
    template <typename T, typename V>
    void Set(T& property, V&& value);

    std::string name_;
    std::string caption_;
    Color backColor_ = kBlack;
    Color foreColor_ = kBlack;
    Font font_;
    PictureId picture_ = PictureId::None;
    Scale scale_;
    bool enabled_ = true;
    std::vector<Control*> drawingOrder_;
    std::vector<Control*> windowed_;
    std::vector<Timer*> timers_;
    WindowPeer* peer_ = nullptr;
    Control* pressed_ = nullptr;  // the control a left press went down on
};

}  // namespace orvan::ui
