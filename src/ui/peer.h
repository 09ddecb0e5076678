// What a window of the control model asks of the windowing system: a canvas
// to paint its windowless controls on, and a peer that mirrors its state into
// the native window and its native child controls.
//
// The front end implements both for each window it creates; a window without
// a peer (in the unit tests, before the front end attaches) mirrors nothing.
#pragma once

#include <string>
#include <vector>

#include "ui/types.h"

namespace orvan::ui {

class Control;
struct Change;

// Drawing in client pixels. Implementations clip to the area being painted.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void FillRect(const Rect& rect, Color color) = 0;
    virtual void FillEllipse(const Rect& rect, Color color) = 0;
    // A one-pixel solid line from (x1, y1) to (x2, y2), both ends drawn.
    virtual void DrawLine(int x1, int y1, int x2, int y2, Color color) = 0;
    // Text inside rect; the background is not touched (labels fill it first).
    virtual void DrawText(const Rect& rect, const std::string& text, const Font& font, Color color, Align align) = 0;
    // The picture at its natural size with its top-left corner at rect's, or
    // stretched to fill rect; clipped to rect either way.
    virtual void DrawPicture(PictureId picture, const Rect& rect, bool stretch) = 0;
};

struct MenuItem {
    int command = 0;  // 0 for a separator
    std::string caption;
    bool checked = false;
    bool enabled = true;
};

class WindowPeer {
public:
    virtual ~WindowPeer() = default;

    // Part of the client area must be painted again (soon, not at once).
    virtual void Invalidate(const Rect& rect) = 0;
    // Paint what is pending now, without waiting for the event loop.
    virtual void UpdateNow() = 0;

    // A timer or a windowed control changed as `change` says (a container
    // also when a control it holds looks different): the front end shows it.
    virtual void ControlChanged(const Control& control, const Change& change) = 0;
    // The window's own caption, colours, font or picture changed.
    virtual void FormChanged() = 0;

    virtual void EnabledChanged(bool enabled) = 0;

    // Shows a popup menu with its left edge at the client point (x, y) and
    // returns the chosen command, or 0 when the menu is dismissed.
    virtual int PopupMenu(const std::vector<MenuItem>& items, int x, int y) = 0;
};

}  // namespace orvan::ui

namespace orvan::ui {

class Form;

// Creating and discarding the native windows of forms other than the console.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // Creates the native window of a form, shown or hidden.
    virtual void Open(Form& form, bool visible) = 0;
    // Destroys the native window; the form is discarded after this.
    virtual void Close(Form& form) = 0;
    // Shows the window and brings it to the front.
    virtual void BringToFront(Form& form) = 0;
};

}  // namespace orvan::ui
