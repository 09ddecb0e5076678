// The native child windows of one form: list boxes, frames and their option
// buttons, and the option buttons' tooltips. Each windowed control asks for
// the peer of its kind (ui::PeerMaker), which makes its child window from
// the model, shows the model's changes, paints it in the model's colours and
// reports the user's input on it back to the model.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/form.h"

namespace orvan::win32 {

class NativePeer;

class NativeControls : private ui::PeerMaker {
public:
    explicit NativeControls(ui::Form& form);
    ~NativeControls();
    NativeControls(const NativeControls&) = delete;
    NativeControls& operator=(const NativeControls&) = delete;

    static void RegisterClasses(HINSTANCE instance);

    // Makes the form's windowed controls as children of `window`.
    void Create(HWND window);

    ui::Control* ControlOf(HWND child) const;
    // The model changed.
    void Changed(const ui::Control& control, const ui::Change& change);

    // Messages the children send their parent.
    void OnCommand(WPARAM wParam, LPARAM lParam);
    bool OnMeasureItem(MEASUREITEMSTRUCT& measure);
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    LRESULT OnColor(HDC dc);

private:
    friend class NativePeer;

    void Make(ui::ListBox& list) override;
    void Make(ui::Frame& frame) override;
    void Make(ui::OptionButton& option) override;

    NativePeer* PeerOf(HWND child) const;
    NativePeer* PeerOf(const ui::Control& control) const;
    // The window's tooltips, made on the first request to `make` them.
    HWND Tooltips(bool make);

    ui::Form& form_;
    HWND window_ = nullptr;
    HWND tooltips_ = nullptr;
    // In the order of the form's windowed controls, which their ids follow.
    std::vector<std::unique_ptr<NativePeer>> peers_;
};

}  // namespace orvan::win32
