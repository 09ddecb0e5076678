// The native window of one form of the control model: it paints the
// windowless controls, holds the form's native controls (NativeControls),
// its timers and its accessible object, and reports the user's input back
// to the model.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "win32/native_controls.h"
#include "ui/form.h"
#include "ui/peer.h"

namespace orvan::win32 {

class AccessibleForm;

class FormWindow : public ui::WindowPeer {
public:
    FormWindow(ui::Form& form, HWND owner);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    static void RegisterClasses(HINSTANCE instance);

    HWND Hwnd() const { return hwnd_; }
    // A key went down on the window or one of its controls; true when the
    // form used it.
    bool KeyDown(HWND target, WPARAM key);
    ui::Form& Model() const { return form_; }
    // An accessibility tool pressed the control: the model hears of it from
    // the message loop, as it hears of a click.
    void PressLater(const ui::Control& control);

    // The window asks to be closed (WM_CLOSE, end of session).
    std::function<void()> OnCloseRequest;

    // Shows the window (maximized when the form says so) and gives the
    // focus to its first control that takes it.
    void Show();
    void Destroy();

    // ui::WindowPeer
    void Invalidate(const ui::Rect& rect) override;
    void UpdateNow() override;
    void ListInserted(const ui::ListBox& list, int index) override;
    void ListRemoved(const ui::ListBox& list, int index) override;
    void ListSelected(const ui::ListBox& list) override;
    void TimerChanged(const ui::Timer& timer) override;
    void OptionChanged(const ui::OptionButton& option) override;
    void ControlChanged(const ui::Control& control) override;
    void FormChanged() override;
    void EnabledChanged(bool enabled) override;
    int PopupMenu(const std::vector<ui::MenuItem>& items, int x, int y) override;

    // Whether the window takes input now, as the last WM_ENABLE said.
    bool Enabled() const { return enabled_; }

private:
    static LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnPointer(UINT message, WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);

    ui::Form& form_;
    HWND owner_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<NativeControls> controls_;
    std::map<UINT_PTR, ui::Timer*> timers_;
    HWND lastFocus_ = nullptr;  // given back when the window is active again
    ui::Rect painted_;          // where anything but background can be painted
    bool enabled_ = true;
    AccessibleForm* accessible_ = nullptr;  // made on the first WM_GETOBJECT
};

}  // namespace orvan::win32
