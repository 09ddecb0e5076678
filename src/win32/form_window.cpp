#include "win32/form_window.h"

#include <windowsx.h>

#include <algorithm>

#include "version.h"
#include "win32/accessible.h"
#include "win32/buffered_paint.h"
#include "win32/gdi_canvas.h"
#include "win32/input.h"

namespace orvan::win32 {

namespace {

// Every form's window is of this class; the console is the one with its caption.
const char* kFormClass = ORVAN_CONSOLE_CLASS;
// Loading the first icon is slow under some systems, so a window takes its
// icon just after its first paint.
constexpr UINT kTakeIconMessage = WM_APP + 1;
// An accessibility tool's press; wParam: the control's place in the drawing order.
constexpr UINT kPressMessage = WM_APP + 2;

// The window's FormWindow, kept in its user data: read on every message, where
// a window property would be a call to Wine's server each time.
FormWindow* Owner(HWND hwnd) { return reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

}  // namespace

void FormWindow::RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXA form{};
    form.cbSize = sizeof form;
    form.style = CS_DBLCLKS;
    form.lpfnWndProc = FormProc;
    form.hInstance = instance;
    form.lpszClassName = kFormClass;
    RegisterClassExA(&form);
    NativeControls::RegisterClasses(instance);
}

FormWindow::FormWindow(ui::Form& form, HWND owner) : form_(form), owner_(owner), controls_(form) {
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    DWORD exStyle = owner ? 0 : WS_EX_APPWINDOW;
    if (form.Border == ui::BorderStyle::FixedDialog) {
        style |= WS_DLGFRAME;
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
        if (form.ControlBox && !form.Caption().empty()) style |= WS_CAPTION | WS_SYSMENU;
    } else {
        exStyle |= WS_EX_CONTROLPARENT;
    }
    // Laid out at the screen's DPI, or the largest of its scales that fits.
    form.SetScaling(
        ui::FitScale(SystemDpi(), form.LayoutTwips(), {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    const ui::Scale& scale = form.Scaling();
    // The client area's own edges are 0 and its size, wherever it stands.
    const int left = scale.Pixels(form.ClientLeft), top = scale.Pixels(form.ClientTop);
    RECT r{left, top, left + scale.Pixels(form.ClientWidth), top + scale.Pixels(form.ClientHeight)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    if (form.StartMaximized) {
        // Created at its maximized size, so showing it needs no resize.
        style |= WS_MAXIMIZE;
        r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    hwnd_ = CreateWindowExA(exStyle, kFormClass, form.Caption().c_str(), style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, owner, nullptr, GetModuleHandleA(nullptr), this);
    controls_.Create(hwnd_);
    form_.Attach(this);
    for (ui::Timer* timer : form_.Timers()) {
        const UINT_PTR id = timers_.size() + 1;
        timers_[id] = timer;
        Time(id, *timer);
    }
}

FormWindow::~FormWindow() {
    form_.Attach(nullptr);
    Destroy();
}

void FormWindow::Destroy() {
    if (!hwnd_) return;
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
}

// ------------------------------------------------------------------ input

bool FormWindow::KeyDown(HWND target, WPARAM key) {
    ui::Control* control = target == hwnd_ ? nullptr : controls_.ControlOf(target);
    if (target != hwnd_ && !control) return false;
    return form_.KeyDown(control, static_cast<int>(key), ShiftState());
}

// ------------------------------------------------------------------ showing

void FormWindow::Show() {
    const int show = form_.StartMaximized ? SW_SHOWMAXIMIZED : SW_SHOW;
    ShowWindow(hwnd_, show);
    // The first ShowWindow of a process may follow the way it was started
    // instead; the console must come up maximized all the same.
    if (form_.StartMaximized && !IsZoomed(hwnd_)) ShowWindow(hwnd_, show);
    UpdateWindow(hwnd_);
    PostMessageA(hwnd_, kTakeIconMessage, 0, 0);
    HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (first) SetFocus(first);
}

void FormWindow::PressLater(const ui::Control& control) {
    const auto& order = form_.DrawingOrder();
    const auto at = std::find(order.begin(), order.end(), &control);
    if (at != order.end()) PostMessageA(hwnd_, kPressMessage, static_cast<WPARAM>(at - order.begin()), 0);
}

// ------------------------------------------------------------------ WindowPeer

void FormWindow::Invalidate(const ui::Rect& rect) {
    RECT r = ToRect(rect);
    if (hwnd_) InvalidateRect(hwnd_, &r, FALSE);
}

void FormWindow::UpdateNow() {
    if (hwnd_) UpdateWindow(hwnd_);
}

void FormWindow::ControlChanged(const ui::Control& control, const ui::Change& change) {
    for (auto& [id, timer] : timers_)
        if (timer == &control) return Time(id, *timer);
    controls_.Changed(control, change);
}

void FormWindow::Time(UINT_PTR id, const ui::Timer& timer) {
    if (timer.TimerEnabled() && timer.Interval() > 0)
        SetTimer(hwnd_, id, static_cast<UINT>(timer.Interval()), nullptr);
    else
        KillTimer(hwnd_, id);
}

void FormWindow::FormChanged() {
    SetWindowTextA(hwnd_, form_.Caption().c_str());
    // The picture's size decides what the buffered paint covers.
    painted_ = {};
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void FormWindow::EnabledChanged(bool enabled) { EnableWindow(hwnd_, enabled); }

int FormWindow::PopupMenu(const std::vector<ui::MenuItem>& items, int x, int y) {
    HMENU menu = CreatePopupMenu();
    for (const ui::MenuItem& item : items) {
        if (item.command == 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = static_cast<UINT>(MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) |
                                       (item.enabled ? MF_ENABLED : MF_GRAYED));
        AppendMenuA(menu, flags, static_cast<UINT_PTR>(item.command), item.caption.c_str());
    }
    POINT at{x, y};
    ClientToScreen(hwnd_, &at);
    SetForegroundWindow(hwnd_);
    int chosen = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                at.x, at.y, 0, hwnd_, nullptr);
    PostMessageA(hwnd_, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return chosen;
}

// ------------------------------------------------------------------ messages

LRESULT CALLBACK FormWindow::FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    FormWindow* self = Owner(hwnd);
    if (message == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    // Tools that still hold the window's accessible object get an error from
    // now on, whoever destroys the window.
    if (message == WM_DESTROY && self) DisconnectAccessible(self->accessible_);
    if (!self || !self->hwnd_) return DefWindowProcA(hwnd, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT FormWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        OnPointer(message, wParam, lParam);
        return 0;
    case WM_COMMAND:
        controls_.OnCommand(wParam, lParam);
        return 0;
    case WM_MEASUREITEM:
        return controls_.OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
        return controls_.OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return controls_.OnColor(reinterpret_cast<HDC>(wParam));
    case WM_ENABLE:
        // The one place the window learns whether it takes input: the model
        // or a message box that holds it.
        enabled_ = wParam != FALSE;
        break;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_GETMINMAXINFO:
        if (form_.StartMaximized) {
            // Maximized means the whole screen, over any task bar.
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            GetMonitorInfoA(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
            info->ptMaxPosition = {0, 0};
            info->ptMaxSize = {monitor.rcMonitor.right - monitor.rcMonitor.left,
                               monitor.rcMonitor.bottom - monitor.rcMonitor.top};
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
        } else {
            HWND focus = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
            if (focus) SetFocus(focus);
        }
        return 0;
    case WM_CLOSE:
        if (OnCloseRequest) OnCloseRequest();
        return 0;
    case WM_SETCURSOR:
        if (SetArrow(lParam)) return TRUE;
        break;
    case kTakeIconMessage:
        SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(GdiResources::Get().Icon(false)));
        SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(GdiResources::Get().Icon(true)));
        return 0;
    case WM_GETOBJECT: {
        LRESULT result = 0;
        if (AnswerGetObject(*this, accessible_, wParam, lParam, result)) return result;
        break;
    }
    case kPressMessage: {
        const auto& order = form_.DrawingOrder();
        // A window the system disabled meanwhile (a message box is up) takes no click.
        if (wParam < order.size() && enabled_) form_.Press(*order[wParam]);
        return 0;
    }
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam && OnCloseRequest) OnCloseRequest();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void FormWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (painted_.Empty()) {
        SIZE picture{};
        if (form_.Picture() != ui::PictureId::None)
            picture = GdiResources::Get().NaturalSize(form_.Picture(), form_.Scaling().Dpi());
        painted_ = form_.PaintedArea(picture.cx, picture.cy);
    }
    PaintBuffered(dc, ps.rcPaint, ToRect(painted_), GdiResources::Get().Brush(Resolve(form_.BackColor())),
                  [this](HDC memory, const RECT& band) {
                      GdiCanvas canvas(memory, form_.Scaling());
                      form_.Paint(canvas, {band.left, band.top, band.right, band.bottom});
                  });
    EndPaint(hwnd_, &ps);
}

void FormWindow::OnPointer(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    const int shift = ShiftState();
    switch (message) {
    case WM_MOUSEMOVE:
        form_.PointerMove(HeldButtons(wParam), shift, x, y);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(hwnd_);
        form_.PointerDown(ui::kLeftButton, shift, x, y, message == WM_LBUTTONDBLCLK);
        break;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd_) ReleaseCapture();
        form_.PointerUp(ui::kLeftButton, shift, x, y);
        break;
    default:
        form_.PointerDown(PressedButton(message), shift, x, y, false);
        break;
    }
}

void FormWindow::OnTimer(UINT_PTR id) {
    auto it = timers_.find(id);
    if (it != timers_.end() && it->second->TimerEnabled() && it->second->Tick) it->second->Tick();
}

}  // namespace orvan::win32
