// The native child windows of one form: list boxes, frames and their option
// buttons, and the option buttons' tooltips. They are made from the model,
// kept in step with it, painted in its colours, and report the user's input
// on them back to it.
#pragma once

#include <windows.h>

#include <map>

#include "ui/form.h"

namespace orvan::win32 {

class NativeControls {
public:
    // Makes the form's windowed controls as children of `window`.
    NativeControls(ui::Form& form, HWND window);
    NativeControls(const NativeControls&) = delete;
    NativeControls& operator=(const NativeControls&) = delete;

    static void RegisterClasses(HINSTANCE instance);

    ui::Control* ControlOf(HWND child) const;
    HWND PeerOf(const ui::Control& control) const;

    // The model changed.
    void ListInserted(const ui::ListBox& list, int index);
    void ListRemoved(const ui::ListBox& list, int index);
    void ListSelected(const ui::ListBox& list);
    void OptionChanged(const ui::OptionButton& option);
    // A property that shows changed: place, visibility, caption, font, row
    // height, tooltip, colours.
    void Mirror(const ui::Control& control);

    // Messages the children send their parent.
    void OnCommand(WPARAM wParam, LPARAM lParam);
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    LRESULT OnColor(HDC dc);

private:
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND CreateChild(ui::Control& control, HWND parent, int id);
    void AddToolTips();
    void OnListPointer(ui::Control& list, UINT message, WPARAM wParam, LPARAM lParam);
    void PaintListBorder(HWND list, const ui::ListBox& model);
    void PaintFrame(HWND frame, const ui::Frame& model);

    // What a list or frame of ours holds in its user data, so its procedure
    // finds its model on every message without asking the system: a window
    // property is a call to Wine's server each time.
    struct Link {
        NativeControls* owner;
        ui::Control* control;
        WNDPROC oldProc;  // a list's own procedure, which ours stands before
    };
    static Link* LinkOf(HWND child);

    ui::Form& form_;
    HWND window_;
    HWND tooltips_ = nullptr;
    std::map<const ui::Control*, HWND> peers_;
    std::map<const ui::Control*, Link> links_;
    int listTextTop_ = -1;  // where a list row's text starts, below the row's top
};

// The row height of a list being made, asked of its parent by the list's id
// before the list is known by its window.
bool MeasureListRow(const ui::Form& form, MEASUREITEMSTRUCT& measure);

}  // namespace orvan::win32
