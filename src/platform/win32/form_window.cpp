#include "platform/win32/form_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/win32/accessible.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/lazy_dll.h"

namespace orvan::win32 {

namespace {

const char* kFormClass = "Orvan97Form";
const char* kFrameClass = "Orvan97Frame";
const char* kSelfProp = "Orvan97.Window";
const char* kOldProcProp = "Orvan97.OldProc";
constexpr int kFirstChildId = 100;
// Loading the first icon is slow under some systems, so a window takes its
// icon just after its first paint.
constexpr UINT kTakeIconMessage = WM_APP + 1;
// An accessibility tool's press; wParam: the control's place in the drawing order.
constexpr UINT kPressMessage = WM_APP + 2;

// The arrow, loaded when the pointer first comes over a window of ours
// rather than at start-up, for the same reason.
bool SetArrow(LPARAM hit) {
    if (LOWORD(hit) != HTCLIENT) return false;
    static HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(arrow);
    return true;
}

int Buttons(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? ui::kLeftButton : 0) | ((keys & MK_RBUTTON) ? ui::kRightButton : 0) |
           ((keys & MK_MBUTTON) ? ui::kMiddleButton : 0);
}

int Shift(WPARAM keys) {
    return ((keys & MK_SHIFT) ? ui::kShiftMask : 0) | ((keys & MK_CONTROL) ? ui::kCtrlMask : 0) |
           ((GetKeyState(VK_MENU) < 0) ? ui::kAltMask : 0);
}

ui::MouseArgs ArgsAt(int button, WPARAM keys, LPARAM point) {
    return {button, Shift(keys), static_cast<float>(GET_X_LPARAM(point) * ui::kTwipsPerPixel),
            static_cast<float>(GET_Y_LPARAM(point) * ui::kTwipsPerPixel)};
}


FormWindow* Owner(HWND hwnd) { return static_cast<FormWindow*>(GetPropA(hwnd, kSelfProp)); }

}  // namespace

void FormWindow::RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXA form{};
    form.cbSize = sizeof form;
    form.style = CS_DBLCLKS;
    form.lpfnWndProc = FormProc;
    form.hInstance = instance;
    form.lpszClassName = kFormClass;
    RegisterClassExA(&form);

    WNDCLASSEXA frame{};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = FrameProc;
    frame.hInstance = instance;
    frame.lpszClassName = kFrameClass;
    RegisterClassExA(&frame);
}

FormWindow::FormWindow(ui::Form& form, HWND owner) : form_(form), owner_(owner) {
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    DWORD exStyle = owner ? 0 : WS_EX_APPWINDOW;
    if (form.Border == ui::BorderStyle::FixedDialog) {
        style |= WS_DLGFRAME;
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
        if (form.ControlBox && !form.Caption.empty()) style |= WS_CAPTION | WS_SYSMENU;
    } else {
        exStyle |= WS_EX_CONTROLPARENT;
    }
    RECT r{ui::ToPixels(form.ClientLeft), ui::ToPixels(form.ClientTop),
           ui::ToPixels(form.ClientLeft + form.ClientWidth), ui::ToPixels(form.ClientTop + form.ClientHeight)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    if (form.StartMaximized) {
        // Created at its maximized size, so showing it needs no resize.
        style |= WS_MAXIMIZE;
        r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    hwnd_ = CreateWindowExA(exStyle, kFormClass, form.Caption.c_str(), style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, owner, nullptr, GetModuleHandleA(nullptr), this);
    CreateChildren();
    form_.Attach(this);
    for (ui::Timer* timer : form_.Timers()) {
        timers_[timers_.size() + 1] = timer;
        TimerChanged(*timer);
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

RECT FormWindow::PlacementRect() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r;
}

// ------------------------------------------------------------------ native children

void FormWindow::CreateChildren() {
    // Created in tab order, which is the order the system moves the focus in.
    const auto& all = form_.Windowed();
    for (ui::Control* control : form_.TabOrder()) {
        int id = kFirstChildId + static_cast<int>(std::find(all.begin(), all.end(), control) - all.begin());
        HWND parent = control->Container() ? PeerOf(*control->Container()) : hwnd_;
        peers_[control] = CreateChild(*control, parent, id);
    }
    AddToolTips();
}

HWND FormWindow::CreateChild(ui::Control& control, HWND parent, int id) {
    ui::Rect b = control.Bounds();
    if (control.Container()) {
        ui::Rect outer = control.Container()->Bounds();
        b = {b.left - outer.left, b.top - outer.top, b.right - outer.left, b.bottom - outer.top};
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto menuId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    HWND child = nullptr;
    switch (control.Kind()) {
    case ui::ControlKind::ListBox: {
        auto& list = static_cast<ui::ListBox&>(control);
        DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                      LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | (list.Sorted ? LBS_SORT : 0);
        child = CreateWindowExA(0, "LISTBOX", "", style, b.left, b.top, b.Width(), b.Height(), parent, menuId,
                                instance, nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GdiResources::Get().Font(list.font)), FALSE);
        for (int i = 0; i < list.ListCount(); ++i)
            SendMessageA(child, LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(list.List(i).c_str()));
        SendMessageA(child, LB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
        SetPropA(child, kSelfProp, this);
        SetPropA(child, kOldProcProp,
                 reinterpret_cast<HANDLE>(SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::ListThunk))));
        break;
    }
    case ui::ControlKind::Frame: {
        auto& frame = static_cast<ui::Frame&>(control);
        child = CreateWindowExA(WS_EX_CONTROLPARENT, kFrameClass, frame.Caption.c_str(),
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, b.left, b.top, b.Width(), b.Height(), parent,
                                menuId, instance, nullptr);
        SetPropA(child, kSelfProp, this);
        break;
    }
    case ui::ControlKind::OptionButton: {
        auto& option = static_cast<ui::OptionButton&>(control);
        child = CreateWindowExA(0, "BUTTON", option.Caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_RADIOBUTTON,
                                b.left, b.top, b.Width(), b.Height(), parent, menuId, instance, nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GdiResources::Get().Font(form_.font)), FALSE);
        SendMessageA(child, BM_SETCHECK, option.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    }
    default:
        break;
    }
    return child;
}

void FormWindow::AddToolTips() {
    for (auto& [control, child] : peers_) {
        if (control->Kind() != ui::ControlKind::OptionButton) continue;
        const auto* option = static_cast<const ui::OptionButton*>(control);
        if (option->ToolTipText.empty()) continue;
        if (!tooltips_) {
            // The common controls are loaded only for the windows that show tooltips.
            if (auto* init = LazyFunction<decltype(InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx")) {
                INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
                init(&controls);
            }
            tooltips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
        }
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = const_cast<char*>(option->ToolTipText.c_str());
        SendMessageA(tooltips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

bool FormWindow::KeyDown(HWND target, WPARAM key) {
    const int shift = (GetKeyState(VK_SHIFT) < 0 ? ui::kShiftMask : 0) |
                      (GetKeyState(VK_CONTROL) < 0 ? ui::kCtrlMask : 0) |
                      (GetKeyState(VK_MENU) < 0 ? ui::kAltMask : 0);
    ui::Control* control = target == hwnd_ ? nullptr : ControlOf(target);
    if (target != hwnd_ && !control) return false;
    return form_.KeyDown(control, static_cast<int>(key), shift);
}

ui::Control* FormWindow::ControlOf(HWND child) const {
    for (auto& [control, peer] : peers_)
        if (peer == child) return const_cast<ui::Control*>(control);
    return nullptr;
}

HWND FormWindow::PeerOf(const ui::Control& control) const {
    auto it = peers_.find(&control);
    return it == peers_.end() ? nullptr : it->second;
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

void FormWindow::ListInserted(const ui::ListBox& list, int index) {
    if (HWND peer = PeerOf(list))
        SendMessageA(peer, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(list.List(index).c_str()));
}

void FormWindow::ListRemoved(const ui::ListBox& list, int index) {
    if (HWND peer = PeerOf(list)) SendMessageA(peer, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void FormWindow::ListSelected(const ui::ListBox& list) {
    if (HWND peer = PeerOf(list)) SendMessageA(peer, LB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
}

void FormWindow::TimerChanged(const ui::Timer& timer) {
    for (auto& [id, t] : timers_) {
        if (t != &timer) continue;
        if (timer.TimerEnabled() && timer.Interval > 0)
            SetTimer(hwnd_, id, static_cast<UINT>(timer.Interval), nullptr);
        else
            KillTimer(hwnd_, id);
    }
}

void FormWindow::OptionChanged(const ui::OptionButton& option) {
    if (HWND peer = PeerOf(option)) SendMessageA(peer, BM_SETCHECK, option.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
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
        SetPropA(hwnd, kSelfProp, self);
    }
    FormWindow* self = Owner(hwnd);
    if (message == WM_NCDESTROY) RemovePropA(hwnd, kSelfProp);
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
        OnCommand(wParam, lParam);
        return 0;
    case WM_MEASUREITEM: {
        // Asked while the list is being made, so found by its id.
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        const auto& all = form_.Windowed();
        const size_t index = measure->CtlID - static_cast<UINT>(kFirstChildId);
        if (index >= all.size() || all[index]->Kind() != ui::ControlKind::ListBox) return FALSE;
        measure->itemHeight = static_cast<UINT>(static_cast<const ui::ListBox*>(all[index])->RowHeight);
        return TRUE;
    }
    case WM_DRAWITEM:
        return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnColor(reinterpret_cast<HDC>(wParam));
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
        if (wParam < order.size() && IsWindowEnabled(hwnd_)) form_.Press(*order[wParam]);
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
    // What lies beyond the picture and the controls is bare background: it
    // is filled directly, and only the rest is painted off screen.
    RECT r{};
    const RECT content = ContentRect();
    IntersectRect(&r, &ps.rcPaint, &content);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HBRUSH background = GdiResources::Get().Brush(Resolve(form_.BackColor));
    if (width > 0 && height > 0) {
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
        ::FillRect(dc, &ps.rcPaint, background);
        RestoreDC(dc, saved);
        // Painted off screen and copied in one go, so nothing flickers.
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        SetViewportOrgEx(memory, -r.left, -r.top, nullptr);
        ::FillRect(memory, &r, background);
        GdiCanvas canvas(memory);
        form_.Paint(canvas);
        BitBlt(dc, r.left, r.top, width, height, memory, r.left, r.top, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
    } else {
        ::FillRect(dc, &ps.rcPaint, background);
    }
    EndPaint(hwnd_, &ps);
}

RECT FormWindow::ContentRect() {
    if (content_.Empty()) {
        if (form_.Picture != ui::PictureId::None) {
            SIZE size = GdiResources::Get().PictureSize(form_.Picture);
            content_ = {0, 0, size.cx, size.cy};
        }
        for (const ui::Control* control : form_.DrawingOrder()) content_ = content_.Union(control->Bounds());
        // The slide starts the buttons left of the window.
        content_.left = std::max(content_.left, 0);
        content_.top = std::max(content_.top, 0);
    }
    return {content_.left, content_.top, content_.right, content_.bottom};
}

void FormWindow::OnPointer(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    const int shift = Shift(wParam);
    switch (message) {
    case WM_MOUSEMOVE:
        form_.PointerMove(x, y, Buttons(wParam), shift);
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
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        form_.PointerDown(ui::kRightButton, shift, x, y, false);
        break;
    default:
        form_.PointerDown(ui::kMiddleButton, shift, x, y, false);
        break;
    }
}

void FormWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    ui::Control* control = ControlOf(reinterpret_cast<HWND>(lParam));
    if (!control) return;  // Enter and Escape confirm nothing here
    const UINT code = HIWORD(wParam);
    if (control->Kind() == ui::ControlKind::ListBox) {
        auto* list = static_cast<ui::ListBox*>(control);
        if (code == LBN_SELCHANGE)
            list->SelectedByUser(static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lParam), LB_GETCURSEL, 0, 0)));
        else if (code == LBN_DBLCLK && list->DblClick)
            list->DblClick();
    } else if (control->Kind() == ui::ControlKind::OptionButton && code == BN_CLICKED) {
        static_cast<ui::OptionButton*>(control)->ClickedByUser();
    }
}

bool FormWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    auto* control = ControlOf(item.hwndItem);
    if (!control || control->Kind() != ui::ControlKind::ListBox) return false;
    const auto* list = static_cast<const ui::ListBox*>(control);
    RECT r = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    if (item.itemID < static_cast<UINT>(list->ListCount())) {
        // The model holds the same entries as the native list.
        const std::string& text = list->List(static_cast<int>(item.itemID));
        HGDIOBJ old = SelectObject(item.hDC, GdiResources::Get().Font(list->font));
        if (listTextTop_ < 0) {
            TEXTMETRICA metrics{};
            GetTextMetricsA(item.hDC, &metrics);
            listTextTop_ = std::max(0, (list->RowHeight - static_cast<int>(metrics.tmHeight)) / 2);
        }
        SetBkColor(item.hDC, selected ? GetSysColor(COLOR_HIGHLIGHT) : Resolve(list->BackColor));
        SetTextColor(item.hDC, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Resolve(list->ForeColor));
        SetTextAlign(item.hDC, TA_LEFT | TA_TOP);
        // One call fills the row and writes its text.
        ExtTextOutA(item.hDC, r.left + 2, r.top + listTextTop_, ETO_OPAQUE | ETO_CLIPPED, &r, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
        SelectObject(item.hDC, old);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &r);
    return true;
}

LRESULT FormWindow::OnColor(HDC dc) {
    HWND child = WindowFromDC(dc);
    ui::Control* control = child ? ControlOf(child) : nullptr;
    ui::Color back = form_.BackColor, fore = form_.ForeColor;
    if (control && control->Kind() == ui::ControlKind::ListBox) {
        back = static_cast<ui::ListBox*>(control)->BackColor;
        fore = static_cast<ui::ListBox*>(control)->ForeColor;
    } else if (control && control->Kind() == ui::ControlKind::OptionButton) {
        back = static_cast<ui::OptionButton*>(control)->BackColor;
        fore = static_cast<ui::OptionButton*>(control)->ForeColor;
    }
    SetTextColor(dc, Resolve(fore));
    SetBkColor(dc, Resolve(back));
    return reinterpret_cast<LRESULT>(GdiResources::Get().Brush(Resolve(back)));
}

void FormWindow::OnTimer(UINT_PTR id) {
    auto it = timers_.find(id);
    if (it != timers_.end() && it->second->TimerEnabled() && it->second->Tick) it->second->Tick();
}

// ------------------------------------------------------------------ list boxes

LRESULT CALLBACK FormWindow::ListThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto oldProc = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOldProcProp));
    FormWindow* self = Owner(hwnd);
    ui::Control* list = self ? self->ControlOf(hwnd) : nullptr;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
        RemovePropA(hwnd, kOldProcProp);
        RemovePropA(hwnd, kSelfProp);
        return CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
    }
    if (!list) return CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
    switch (message) {
    case WM_NCPAINT: {
        LRESULT result = CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
        self->PaintListBorder(hwnd, *static_cast<ui::ListBox*>(list));
        return result;
    }
    case WM_LBUTTONDOWN: {
        // The press selects first, as it does for any list.
        LRESULT result = CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
        self->OnListMouse(*list, message, wParam, lParam);
        return result;
    }
    case WM_MOUSEMOVE:
        self->OnListMouse(*list, message, wParam, lParam);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        self->OnListMouse(*list, message, wParam, lParam);
        return 0;
    default:
        break;
    }
    return CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
}

void FormWindow::OnListMouse(ui::Control& list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!form_.Enabled()) return;
    switch (message) {
    case WM_MOUSEMOVE:
        if (list.MouseMove) list.MouseMove(ArgsAt(Buttons(wParam), wParam, lParam));
        break;
    case WM_LBUTTONDOWN:
        if (list.MouseDown) list.MouseDown(ArgsAt(ui::kLeftButton, wParam, lParam));
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        if (list.MouseDown) list.MouseDown(ArgsAt(ui::kRightButton, wParam, lParam));
        break;
    default:
        if (list.MouseDown) list.MouseDown(ArgsAt(ui::kMiddleButton, wParam, lParam));
        break;
    }
}

void FormWindow::PaintListBorder(HWND list, const ui::ListBox& model) {
    // A flat one-pixel border in the list's text colour.
    HDC dc = GetWindowDC(list);
    RECT r{};
    GetWindowRect(list, &r);
    OffsetRect(&r, -r.left, -r.top);
    FrameRect(dc, &r, GdiResources::Get().Brush(Resolve(model.ForeColor)));
    ReleaseDC(list, dc);
}

// ------------------------------------------------------------------ frames

LRESULT CALLBACK FormWindow::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    FormWindow* self = Owner(hwnd);
    if (message == WM_NCDESTROY) RemovePropA(hwnd, kSelfProp);
    ui::Control* frame = self ? self->ControlOf(hwnd) : nullptr;
    if (!frame) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        self->PaintFrame(hwnd, *static_cast<ui::Frame*>(frame));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (SetArrow(lParam)) return TRUE;
        break;
    case WM_COMMAND:
        self->OnCommand(wParam, lParam);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return self->OnColor(reinterpret_cast<HDC>(wParam));
    default:
        // Pointer movement over the frame and its lines stops here.
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void FormWindow::PaintFrame(HWND frame, const ui::Frame& model) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(frame, &ps);
    RECT client{};
    GetClientRect(frame, &client);
    ::FillRect(dc, &client, GdiResources::Get().Brush(Resolve(model.BackColor)));
    HGDIOBJ oldFont = SelectObject(dc, GdiResources::Get().Font(form_.font));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    RECT edge = client;
    edge.top += metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    SIZE caption{};
    GetTextExtentPoint32A(dc, model.Caption.c_str(), static_cast<int>(model.Caption.size()), &caption);
    RECT label{8, 0, 8 + caption.cx + 4, metrics.tmHeight};
    ::FillRect(dc, &label, GdiResources::Get().Brush(Resolve(model.BackColor)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Resolve(model.ForeColor));
    TextOutA(dc, 10, 0, model.Caption.c_str(), static_cast<int>(model.Caption.size()));
    SelectObject(dc, oldFont);
    // The frame's lines are given in the window's coordinates.
    ui::Rect b = model.Bounds();
    SetViewportOrgEx(dc, -b.left, -b.top, nullptr);
    GdiCanvas canvas(dc);
    form_.PaintContained(canvas, model);
    EndPaint(frame, &ps);
}

}  // namespace orvan::win32
