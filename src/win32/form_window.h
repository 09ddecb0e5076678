// The native window of one form of the control model: it paints the
// windowless controls, holds the form's native controls (NativeControls),
// its timers and its accessible object, and reports the user's input back
// to the model.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <vector>

#include "win32/accessible.h"
#include "win32/native_controls.h"
#include "ui/form.h"
#include "ui/peer.h"

namespace orvan::win32 {

class FormWindow : public ui::WindowPeer, public AccessibleHost {
public:
    FormWindow(ui::Form& form, HWND owner);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    static void RegisterClasses(HINSTANCE instance);

    // A key went down on the window or one of its controls; true when the
    // form used it.
    bool KeyDown(HWND target, WPARAM key);

    // The window asks to be closed (WM_CLOSE, end of session).
    std::function<void()> OnCloseRequest;

    // Shows the window (maximized when the form says so) and gives the
    // focus to its first control that takes it.
    void Show();
    void Destroy();

    // ui::WindowPeer
    void Invalidate(const ui::Rect& rect) override;
    void UpdateNow() override;
    void ControlChanged(const ui::Control& control, const ui::Change& change) override;
    void FormChanged() override;
    void EnabledChanged(bool enabled) override;
    int PopupMenu(const std::vector<ui::MenuItem>& items, int x, int y) override;

    // AccessibleHost; Enabled: as the last WM_ENABLE said.
    HWND Hwnd() const override { return hwnd_; }
    ui::Form& Model() const override { return form_; }
    bool Enabled() const override { return enabled_; }
    void PressLater(const ui::Control& control) override;

private:
    static LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnPointer(UINT message, WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    // Runs the timer with this id as the model says, or stops it.
    void Time(UINT_PTR id, const ui::Timer& timer);

    ui::Form& form_;
    HWND owner_;
    HWND hwnd_ = nullptr;
    NativeControls controls_;
    std::map<UINT_PTR, ui::Timer*> timers_;
    HWND lastFocus_ = nullptr;  // given back when the window is active again
    ui::Rect painted_;          // where anything but background can be painted
    bool enabled_ = true;
    AccessibleForm* accessible_ = nullptr;  // made on the first WM_GETOBJECT
};

}  // namespace orvan::win32
