#include "win32/native_controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "win32/gdi_canvas.h"
#include "win32/input.h"
#include "win32/lazy_dll.h"

namespace orvan::win32 {

namespace {

const char* kFrameClass = "Orvan97Frame";
constexpr int kFirstChildId = 100;

}  // namespace

NativeControls::Link* NativeControls::LinkOf(HWND child) {
    return reinterpret_cast<Link*>(GetWindowLongPtrA(child, GWLP_USERDATA));
}

void NativeControls::RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXA frame{};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = FrameProc;
    frame.hInstance = instance;
    frame.lpszClassName = kFrameClass;
    RegisterClassExA(&frame);
}

bool MeasureListRow(const ui::Form& form, MEASUREITEMSTRUCT& measure) {
    const auto& all = form.Windowed();
    const std::size_t index = measure.CtlID - static_cast<UINT>(kFirstChildId);
    if (index >= all.size() || all[index]->Kind() != ui::ControlKind::ListBox) return false;
    measure.itemHeight = static_cast<UINT>(static_cast<const ui::ListBox*>(all[index])->RowHeight());
    return true;
}

NativeControls::NativeControls(ui::Form& form, HWND window) : form_(form), window_(window) {
    // Created in tab order, which is the order the system moves the focus in.
    const auto& all = form_.Windowed();
    for (ui::Control* control : form_.TabOrder()) {
        int id = kFirstChildId + static_cast<int>(std::find(all.begin(), all.end(), control) - all.begin());
        HWND parent = control->Container() ? PeerOf(*control->Container()) : window_;
        peers_[control] = CreateChild(*control, parent, id);
    }
    AddToolTips();
}

HWND NativeControls::CreateChild(ui::Control& control, HWND parent, int id) {
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
                      LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | (list.Sorted() ? LBS_SORT : 0);
        child = CreateWindowExA(0, "LISTBOX", "", style, b.left, b.top, b.Width(), b.Height(), parent, menuId, instance,
                                nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GdiResources::Get().Font(list.TextFont())), FALSE);
        for (int i = 0; i < list.ListCount(); ++i)
            SendMessageA(child, LB_INSERTSTRING, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(list.List(i).c_str()));
        SendMessageA(child, LB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
        Link& link = links_[&control] = {this, &control, nullptr};
        SetWindowLongPtrA(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&link));
        link.oldProc =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProc)));
        break;
    }
    case ui::ControlKind::Frame: {
        auto& frame = static_cast<ui::Frame&>(control);
        child = CreateWindowExA(WS_EX_CONTROLPARENT, kFrameClass, frame.Caption().c_str(),
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, b.left, b.top, b.Width(), b.Height(), parent,
                                menuId, instance, nullptr);
        Link& link = links_[&control] = {this, &control, nullptr};
        SetWindowLongPtrA(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&link));
        break;
    }
    case ui::ControlKind::OptionButton: {
        auto& option = static_cast<ui::OptionButton&>(control);
        child =
            CreateWindowExA(0, "BUTTON", option.Caption().c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_RADIOBUTTON,
                            b.left, b.top, b.Width(), b.Height(), parent, menuId, instance, nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GdiResources::Get().Font(form_.TextFont())), FALSE);
        SendMessageA(child, BM_SETCHECK, option.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    }
    default:
        break;
    }
    return child;
}

void NativeControls::AddToolTips() {
    for (auto& [control, child] : peers_) {
        if (control->Kind() != ui::ControlKind::OptionButton) continue;
        const auto* option = static_cast<const ui::OptionButton*>(control);
        if (option->ToolTipText().empty()) continue;
        if (!tooltips_) {
            // The common controls are loaded only for the windows that show tooltips.
            if (auto* init = LazyFunction<decltype(InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx")) {
                INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
                init(&controls);
            }
            tooltips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
        }
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = const_cast<char*>(option->ToolTipText().c_str());
        SendMessageA(tooltips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

ui::Control* NativeControls::ControlOf(HWND child) const {
    for (auto& [control, peer] : peers_)
        if (peer == child) return const_cast<ui::Control*>(control);
    return nullptr;
}

HWND NativeControls::PeerOf(const ui::Control& control) const {
    auto it = peers_.find(&control);
    return it == peers_.end() ? nullptr : it->second;
}

// ------------------------------------------------------------------ the model changed

void NativeControls::ListInserted(const ui::ListBox& list, int index) {
    if (HWND peer = PeerOf(list))
        SendMessageA(peer, LB_INSERTSTRING, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(list.List(index).c_str()));
}

void NativeControls::ListRemoved(const ui::ListBox& list, int index) {
    if (HWND peer = PeerOf(list)) SendMessageA(peer, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void NativeControls::ListSelected(const ui::ListBox& list) {
    if (HWND peer = PeerOf(list)) SendMessageA(peer, LB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
}

void NativeControls::OptionChanged(const ui::OptionButton& option) {
    if (HWND peer = PeerOf(option)) SendMessageA(peer, BM_SETCHECK, option.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void NativeControls::Mirror(const ui::Control& control) {
    HWND peer = PeerOf(control);
    if (!peer) return;
    ui::Rect b = control.Bounds();
    if (control.Container()) {
        const ui::Rect outer = control.Container()->Bounds();
        b = {b.left - outer.left, b.top - outer.top, b.right - outer.left, b.bottom - outer.top};
    }
    SetWindowPos(peer, nullptr, b.left, b.top, b.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(peer, control.Visible() ? SW_SHOWNA : SW_HIDE);
    switch (control.Kind()) {
    case ui::ControlKind::ListBox: {
        const auto& list = static_cast<const ui::ListBox&>(control);
        SendMessageA(peer, WM_SETFONT, reinterpret_cast<WPARAM>(GdiResources::Get().Font(list.TextFont())), FALSE);
        SendMessageA(peer, LB_SETITEMHEIGHT, 0, list.RowHeight());
        listTextTop_ = -1;
        // The border is the list's own, drawn in its text colour.
        SetWindowPos(peer, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        break;
    }
    case ui::ControlKind::Frame:
        SetWindowTextA(peer, static_cast<const ui::Frame&>(control).Caption().c_str());
        break;
    case ui::ControlKind::OptionButton: {
        const auto& option = static_cast<const ui::OptionButton&>(control);
        SetWindowTextA(peer, option.Caption().c_str());
        if (tooltips_) {
            TOOLINFOA tool{};
            tool.cbSize = TTTOOLINFOA_V2_SIZE;
            tool.hwnd = window_;
            tool.uId = reinterpret_cast<UINT_PTR>(peer);
            tool.lpszText = const_cast<char*>(option.ToolTipText().c_str());
            SendMessageA(tooltips_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
        }
        break;
    }
    default:
        break;
    }
    // Painted anew in the model's colours, its windowless contents too.
    RedrawWindow(peer, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// ------------------------------------------------------------------ messages to the parent

void NativeControls::OnCommand(WPARAM wParam, LPARAM lParam) {
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

bool NativeControls::OnDrawItem(const DRAWITEMSTRUCT& item) {
    auto* control = ControlOf(item.hwndItem);
    if (!control || control->Kind() != ui::ControlKind::ListBox) return false;
    const auto* list = static_cast<const ui::ListBox*>(control);
    RECT r = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    if (item.itemID < static_cast<UINT>(list->ListCount())) {
        // The model holds the same entries as the native list.
        const std::string& text = list->List(static_cast<int>(item.itemID));
        HGDIOBJ old = SelectObject(item.hDC, GdiResources::Get().Font(list->TextFont()));
        if (listTextTop_ < 0) {
            TEXTMETRICA metrics{};
            GetTextMetricsA(item.hDC, &metrics);
            listTextTop_ = std::max(0, (list->RowHeight() - static_cast<int>(metrics.tmHeight)) / 2);
        }
        SetBkColor(item.hDC, selected ? GetSysColor(COLOR_HIGHLIGHT) : Resolve(list->BackColor()));
        SetTextColor(item.hDC, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Resolve(list->ForeColor()));
        SetTextAlign(item.hDC, TA_LEFT | TA_TOP);
        // One call fills the row and writes its text.
        ExtTextOutA(item.hDC, r.left + 2, r.top + listTextTop_, ETO_OPAQUE | ETO_CLIPPED, &r, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
        SelectObject(item.hDC, old);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &r);
    return true;
}

LRESULT NativeControls::OnColor(HDC dc) {
    HWND child = WindowFromDC(dc);
    ui::Control* control = child ? ControlOf(child) : nullptr;
    ui::Color back = form_.BackColor(), fore = form_.ForeColor();
    if (control && control->Kind() == ui::ControlKind::ListBox) {
        back = static_cast<ui::ListBox*>(control)->BackColor();
        fore = static_cast<ui::ListBox*>(control)->ForeColor();
    } else if (control && control->Kind() == ui::ControlKind::OptionButton) {
        back = static_cast<ui::OptionButton*>(control)->BackColor();
        fore = static_cast<ui::OptionButton*>(control)->ForeColor();
    }
    SetTextColor(dc, Resolve(fore));
    SetBkColor(dc, Resolve(back));
    return reinterpret_cast<LRESULT>(GdiResources::Get().Brush(Resolve(back)));
}

// ------------------------------------------------------------------ list boxes

LRESULT CALLBACK NativeControls::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The link is in place before this procedure is, and leaves with it.
    const Link& link = *LinkOf(hwnd);
    const WNDPROC oldProc = link.oldProc;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        return CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
    }
    NativeControls* self = link.owner;
    ui::Control* list = link.control;
    switch (message) {
    case WM_NCPAINT: {
        LRESULT result = CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
        self->PaintListBorder(hwnd, *static_cast<ui::ListBox*>(list));
        return result;
    }
    case WM_LBUTTONDOWN: {
        // The press selects first, as it does for any list.
        LRESULT result = CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
        self->OnListPointer(*list, message, wParam, lParam);
        return result;
    }
    case WM_MOUSEMOVE:
        self->OnListPointer(*list, message, wParam, lParam);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        self->OnListPointer(*list, message, wParam, lParam);
        return 0;
    default:
        break;
    }
    return CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
}

void NativeControls::OnListPointer(ui::Control& list, UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if (message == WM_MOUSEMOVE)
        form_.ControlPointerMove(list, x, y, HeldButtons(wParam), ShiftState());
    else
        form_.ControlPointerDown(list, PressedButton(message), ShiftState(), x, y);
}

void NativeControls::PaintListBorder(HWND list, const ui::ListBox& model) {
    // A flat one-pixel border in the list's text colour.
    HDC dc = GetWindowDC(list);
    RECT r{};
    GetWindowRect(list, &r);
    OffsetRect(&r, -r.left, -r.top);
    FrameRect(dc, &r, GdiResources::Get().Brush(Resolve(model.ForeColor())));
    ReleaseDC(list, dc);
}

// ------------------------------------------------------------------ frames

LRESULT CALLBACK NativeControls::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing linked while the frame is being made.
    const Link* link = LinkOf(hwnd);
    if (message == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (!link) return DefWindowProcA(hwnd, message, wParam, lParam);
    NativeControls* self = link->owner;
    ui::Control* frame = link->control;
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

void NativeControls::PaintFrame(HWND frame, const ui::Frame& model) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(frame, &ps);
    RECT client{};
    GetClientRect(frame, &client);
    ::FillRect(dc, &client, GdiResources::Get().Brush(Resolve(model.BackColor())));
    HGDIOBJ oldFont = SelectObject(dc, GdiResources::Get().Font(form_.TextFont()));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    RECT edge = client;
    edge.top += metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    SIZE caption{};
    GetTextExtentPoint32A(dc, model.Caption().c_str(), static_cast<int>(model.Caption().size()), &caption);
    RECT label{8, 0, 8 + caption.cx + 4, metrics.tmHeight};
    ::FillRect(dc, &label, GdiResources::Get().Brush(Resolve(model.BackColor())));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Resolve(model.ForeColor()));
    TextOutA(dc, 10, 0, model.Caption().c_str(), static_cast<int>(model.Caption().size()));
    SelectObject(dc, oldFont);
    // The frame's lines are given in the window's coordinates.
    ui::Rect b = model.Bounds();
    SetViewportOrgEx(dc, -b.left, -b.top, nullptr);
    GdiCanvas canvas(dc);
    form_.PaintContained(canvas, model);
    EndPaint(frame, &ps);
}

}  // namespace orvan::win32
