#include "win32/native_controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "win32/gdi_canvas.h"
#include "win32/input.h"
#include "win32/lazy_dll.h"
#include "win32/file_drop.h"
#include "win32/list_accessible.h"

namespace orvan::win32 {

namespace {

const char* kFrameClass = "Orvan97Frame";
constexpr int kFirstChildId = 100;

}  // namespace

// The child window of one windowed control. A kind's peer makes its window,
// shows what else of the kind shows, and answers its own messages.
class NativePeer {
public:
    NativePeer(NativeControls& owner, ui::Control& model) : owner_(owner), model_(model) {}
    virtual ~NativePeer() = default;
    NativePeer(const NativePeer&) = delete;
    NativePeer& operator=(const NativePeer&) = delete;

    HWND Hwnd() const { return hwnd_; }
    ui::Control& Model() const { return model_; }

    virtual void Create(HWND parent, int id) = 0;
    // The model changed: its place and visibility are shown anew, then what
    // else of the kind shows (Restyle), and the child is painted again.
    virtual void Changed(const ui::Change& change) {
        if (change.what != ui::Change::Look) return;
        const ui::Rect b = model_.LocalBounds();
        SetWindowPos(hwnd_, nullptr, b.left, b.top, b.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(hwnd_, model_.Visible() ? SW_SHOWNA : SW_HIDE);
        Restyle();
        // Painted anew in the model's colours, its windowless contents too.
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    // A notification the child sent its parent (WM_COMMAND).
    virtual void Command(UINT /*code*/) {}
    virtual bool Measure(MEASUREITEMSTRUCT& /*measure*/) const { return false; }
    virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    // The colours the child is drawn in, where they are not the window's.
    virtual void Colors(ui::Color& /*back*/, ui::Color& /*fore*/) const {}

protected:
    virtual void Restyle() {}

    void MakeWindow(DWORD exStyle, const char* windowClass, const char* text, DWORD style, HWND parent, int id) {
        const ui::Rect b = model_.LocalBounds();
        hwnd_ = CreateWindowExA(exStyle, windowClass, text, style, b.left, b.top, b.Width(), b.Height(), parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    }
    // A child's own procedure finds its peer in the child's user data on
    // every message, without asking the system: a window property is a call
    // to Wine's server each time.
    template <typename Peer>
    static void Link(HWND child, Peer* peer) {
        SetWindowLongPtrA(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
    }
    template <typename Peer>
    static Peer* LinkOf(HWND child) {
        return reinterpret_cast<Peer*>(GetWindowLongPtrA(child, GWLP_USERDATA));
    }

    NativeControls& Owner() const { return owner_; }
    ui::Form& Form() const { return owner_.form_; }
    int Dpi() const { return Form().Scaling().Dpi(); }
    // A distance the look gives in twips, in the window's pixels.
    int Pixels(int twips) const { return Form().Scaling().Pixels(twips); }
    HWND Window() const { return owner_.window_; }
    HWND Tooltips(bool make) const { return owner_.Tooltips(make); }

    HWND hwnd_ = nullptr;

private:
    NativeControls& owner_;
    ui::Control& model_;
};

namespace {

// ------------------------------------------------------------------ list boxes

class ListPeer final : public NativePeer {
public:
    ListPeer(NativeControls& owner, ui::ListBox& list) : NativePeer(owner, list), list_(list) {}

    void Create(HWND parent, int id) override {
        MakeWindow(0, "LISTBOX", "",
                   WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                       LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | (list_.Sorted() ? LBS_SORT : 0),
                   parent, id);
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GdiResources::Get().Font(list_.TextFont(), Dpi())),
                     FALSE);
        for (int i = 0; i < list_.ListCount(); ++i) Changed({ui::Change::Inserted, i});
        Changed({ui::Change::Selected});
        // Linked before our procedure stands before the list's own.
        Link(hwnd_, this);
        oldProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }

    void Changed(const ui::Change& change) override {
        const auto index = static_cast<WPARAM>(change.index);
        switch (change.what) {
        case ui::Change::Inserted:
            SendMessageA(hwnd_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(list_.List(change.index).c_str()));
            break;
        case ui::Change::Removed:
            SendMessageA(hwnd_, LB_DELETESTRING, index, 0);
            break;
        case ui::Change::Selected:
            SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(list_.ListIndex()), 0);
            break;
        default:
            NativePeer::Changed(change);
            break;
        }
    }

    void Command(UINT code) override {
        if (code == LBN_SELCHANGE)
            list_.SelectedByUser(static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0)));
        else if (code == LBN_DBLCLK && list_.DblClick)
            list_.DblClick();
    }

    // Asked of the parent by the list's id while the list is being made.
    bool Measure(MEASUREITEMSTRUCT& measure) const override {
        measure.itemHeight = static_cast<UINT>(list_.RowHeight());
        return true;
    }

    bool DrawItem(const DRAWITEMSTRUCT& item) override {
        RECT r = item.rcItem;
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        if (item.itemID < static_cast<UINT>(list_.ListCount())) {
            // The model holds the same entries as the native list.
            const std::string& text = list_.List(static_cast<int>(item.itemID));
            HGDIOBJ old = SelectObject(item.hDC, GdiResources::Get().Font(list_.TextFont(), Dpi()));
            if (!textTop_) {
                TEXTMETRICA metrics{};
                GetTextMetricsA(item.hDC, &metrics);
                // Centred in the row; where the row is the smaller (rows are
                // rounded down at some scales), the text gives up the room
                // above its letters rather than their descenders.
                const int spare = list_.RowHeight() - static_cast<int>(metrics.tmHeight);
                textTop_ = spare >= 0 ? spare / 2 : std::max(spare, -static_cast<int>(metrics.tmInternalLeading));
            }
            SetBkColor(item.hDC, selected ? GetSysColor(COLOR_HIGHLIGHT) : Resolve(list_.BackColor()));
            SetTextColor(item.hDC, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Resolve(list_.ForeColor()));
            SetTextAlign(item.hDC, TA_LEFT | TA_TOP);
            // One call fills the row and writes its text.
            ExtTextOutA(item.hDC, r.left + Pixels(30), r.top + *textTop_, ETO_OPAQUE | ETO_CLIPPED, &r, text.c_str(),
                        static_cast<UINT>(text.size()), nullptr);
            SelectObject(item.hDC, old);
        }
        if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &r);
        return true;
    }

    void Colors(ui::Color& back, ui::Color& fore) const override {
        back = list_.BackColor();
        fore = list_.ForeColor();
    }

private:
    void Restyle() override {
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GdiResources::Get().Font(list_.TextFont(), Dpi())),
                     FALSE);
        SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, list_.RowHeight());
        textTop_.reset();
        // The border is the list's own, drawn in its text colour.
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        // The link is in place before this procedure is, and leaves with it.
        ListPeer& self = *LinkOf<ListPeer>(hwnd);
        const WNDPROC oldProc = self.oldProc_;
        switch (message) {
        case WM_NCDESTROY:
            DisconnectListAccessible(self.accessible_);
            StopFileDrops(hwnd, self.drops_);
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
            Link<ListPeer>(hwnd, nullptr);
            break;
        case WM_PAINT: {
            // Drops are taken once the list has shown itself, so start-up
            // does not wait for OLE.
            LRESULT result = CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
            if (self.list_.DropMode() == ui::OLEDropMode::Manual && !self.drops_ && !self.dropsAsked_) {
                self.dropsAsked_ = true;
                PostMessageA(hwnd, kAcceptDrops, 0, 0);
            }
            return result;
        }
        case kAcceptDrops:
            AcceptFileDrops(hwnd, self.list_, self.Form(), self.drops_);
            return 0;
        case WM_GETOBJECT: {
            LRESULT result = 0;
            if (AnswerListGetObject(hwnd, self.list_, self.accessible_, wParam, lParam, result)) return result;
            break;
        }
        case WM_NCPAINT: {
            LRESULT result = CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
            self.PaintBorder();
            return result;
        }
        case WM_LBUTTONDOWN: {
            // The press selects first, as it does for any list.
            LRESULT result = CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
            self.OnPointer(message, wParam, lParam);
            return result;
        }
        case WM_MOUSEMOVE:
            self.OnPointer(message, wParam, lParam);
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            self.OnPointer(message, wParam, lParam);
            return 0;
        default:
            break;
        }
        return CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
    }

    void OnPointer(UINT message, WPARAM wParam, LPARAM lParam) {
        const int x = GET_X_LPARAM(lParam);
        const int y = GET_Y_LPARAM(lParam);
        if (message == WM_MOUSEMOVE)
            Form().ControlPointerMove(list_, HeldButtons(wParam), ShiftState(), x, y);
        else
            Form().ControlPointerDown(list_, PressedButton(message), ShiftState(), x, y);
    }

    void PaintBorder() {
        // A flat one-pixel border in the list's text colour.
        HDC dc = GetWindowDC(hwnd_);
        RECT r{};
        GetWindowRect(hwnd_, &r);
        OffsetRect(&r, -r.left, -r.top);
        FrameRect(dc, &r, GdiResources::Get().Brush(Resolve(list_.ForeColor())));
        ReleaseDC(hwnd_, dc);
    }

    ui::ListBox& list_;
    WNDPROC oldProc_ = nullptr;             // the list's own procedure, which ours stands before
    std::optional<int> textTop_;            // where a row's text starts, from the row's top
    ListAccessible* accessible_ = nullptr;  // made on the first WM_GETOBJECT
    FileDropTarget* drops_ = nullptr;       // once the list takes dropped files
    bool dropsAsked_ = false;
    static constexpr UINT kAcceptDrops = WM_APP + 0x10;
};

// ------------------------------------------------------------------ frames

class FramePeer final : public NativePeer {
public:
    FramePeer(NativeControls& owner, ui::Frame& frame) : NativePeer(owner, frame), frame_(frame) {}

    void Create(HWND parent, int id) override {
        MakeWindow(WS_EX_CONTROLPARENT, kFrameClass, frame_.Caption().c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                   parent, id);
        Link(hwnd_, this);
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        // Nothing linked while the frame is being made.
        FramePeer* self = LinkOf<FramePeer>(hwnd);
        if (message == WM_NCDESTROY) Link<FramePeer>(hwnd, nullptr);
        if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
        switch (message) {
        case WM_PAINT:
            self->Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETCURSOR:
            if (SetArrow(lParam)) return TRUE;
            break;
        case WM_COMMAND:
            self->Owner().OnCommand(wParam, lParam);
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return self->Owner().OnColor(reinterpret_cast<HDC>(wParam));
        default:
            // Pointer movement over the frame and its lines stops here.
            break;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

private:
    void Restyle() override { SetWindowTextA(hwnd_, frame_.Caption().c_str()); }

    void Paint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT client{};
        GetClientRect(hwnd_, &client);
        ::FillRect(dc, &client, GdiResources::Get().Brush(Resolve(frame_.BackColor())));
        HGDIOBJ oldFont = SelectObject(dc, GdiResources::Get().Font(Form().TextFont(), Dpi()));
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        RECT edge = client;
        edge.top += metrics.tmHeight / 2;
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
        const std::string& caption = frame_.Caption();
        SIZE extent{};
        GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        RECT label{Pixels(120), 0, Pixels(120) + extent.cx + Pixels(60), metrics.tmHeight};
        ::FillRect(dc, &label, GdiResources::Get().Brush(Resolve(frame_.BackColor())));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, Resolve(frame_.ForeColor()));
        TextOutA(dc, Pixels(150), 0, caption.c_str(), static_cast<int>(caption.size()));
        SelectObject(dc, oldFont);
        // The frame's lines are given in the window's coordinates.
        const ui::Rect b = frame_.Bounds();
        SetViewportOrgEx(dc, -b.left, -b.top, nullptr);
        GdiCanvas canvas(dc, Form().Scaling());
        Form().PaintContained(canvas, frame_);
        EndPaint(hwnd_, &ps);
    }

    ui::Frame& frame_;
};

// ------------------------------------------------------------------ option buttons

class OptionPeer final : public NativePeer {
public:
    OptionPeer(NativeControls& owner, ui::OptionButton& option) : NativePeer(owner, option), option_(option) {}

    void Create(HWND parent, int id) override {
        MakeWindow(0, "BUTTON", option_.Caption().c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_RADIOBUTTON, parent,
                   id);
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GdiResources::Get().Font(Form().TextFont(), Dpi())),
                     FALSE);
        Changed({ui::Change::Checked});
        if (!option_.ToolTipText().empty()) Tip(Tooltips(true), TTM_ADDTOOLA, TTF_IDISHWND | TTF_SUBCLASS);
    }

    void Changed(const ui::Change& change) override {
        if (change.what == ui::Change::Checked)
            SendMessageA(hwnd_, BM_SETCHECK, option_.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
        else
            NativePeer::Changed(change);
    }

    void Command(UINT code) override {
        if (code == BN_CLICKED) option_.ClickedByUser();
    }

    void Colors(ui::Color& back, ui::Color& fore) const override {
        back = option_.BackColor();
        fore = option_.ForeColor();
    }

private:
    void Restyle() override {
        SetWindowTextA(hwnd_, option_.Caption().c_str());
        if (HWND tooltips = Tooltips(false)) Tip(tooltips, TTM_UPDATETIPTEXTA, 0);
    }

    void Tip(HWND tooltips, UINT message, UINT flags) const {
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = flags;
        tool.hwnd = Window();
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
        tool.lpszText = const_cast<char*>(option_.ToolTipText().c_str());
        SendMessageA(tooltips, message, 0, reinterpret_cast<LPARAM>(&tool));
    }

    ui::OptionButton& option_;
};

}  // namespace

// ------------------------------------------------------------------ the form's children

void NativeControls::RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXA frame{};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = FramePeer::Proc;
    frame.hInstance = instance;
    frame.lpszClassName = kFrameClass;
    RegisterClassExA(&frame);
}

NativeControls::NativeControls(ui::Form& form) : form_(form) {}

NativeControls::~NativeControls() = default;

void NativeControls::Make(ui::ListBox& list) { peers_.push_back(std::make_unique<ListPeer>(*this, list)); }
void NativeControls::Make(ui::Frame& frame) { peers_.push_back(std::make_unique<FramePeer>(*this, frame)); }
void NativeControls::Make(ui::OptionButton& option) { peers_.push_back(std::make_unique<OptionPeer>(*this, option)); }

void NativeControls::Create(HWND window) {
    window_ = window;
    // Every peer is there before any child is made: a list asks for its
    // row height by its id while it is being made.
    const auto& all = form_.Windowed();
    for (ui::Control* control : all) {
        const std::size_t made = peers_.size();
        control->MakePeer(*this);
        peers_.resize(made + 1);  // an empty place for a kind without a peer
    }
    // Made in tab order, which is the order the system moves the focus in.
    for (ui::Control* control : form_.TabOrder()) {
        const auto index = static_cast<int>(std::find(all.begin(), all.end(), control) - all.begin());
        NativePeer* container = control->Container() ? PeerOf(*control->Container()) : nullptr;
        if (NativePeer* peer = peers_[static_cast<std::size_t>(index)].get())
            peer->Create(container ? container->Hwnd() : window_, kFirstChildId + index);
    }
}

HWND NativeControls::Tooltips(bool make) {
    if (!tooltips_ && make) {
        // The common controls are loaded only for the windows that show tooltips.
        if (auto* init = LazyFunction<decltype(InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx")) {
            INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
            init(&controls);
        }
        tooltips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    }
    return tooltips_;
}

NativePeer* NativeControls::PeerOf(HWND child) const {
    for (const auto& peer : peers_)
        if (peer && peer->Hwnd() == child) return peer.get();
    return nullptr;
}

NativePeer* NativeControls::PeerOf(const ui::Control& control) const {
    for (const auto& peer : peers_)
        if (peer && &peer->Model() == &control) return peer.get();
    return nullptr;
}

ui::Control* NativeControls::ControlOf(HWND child) const {
    NativePeer* peer = PeerOf(child);
    return peer ? &peer->Model() : nullptr;
}

void NativeControls::Changed(const ui::Control& control, const ui::Change& change) {
    if (NativePeer* peer = PeerOf(control)) peer->Changed(change);
}

void NativeControls::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Enter and Escape come from no child and confirm nothing here.
    if (NativePeer* peer = PeerOf(reinterpret_cast<HWND>(lParam))) peer->Command(HIWORD(wParam));
}

bool NativeControls::OnMeasureItem(MEASUREITEMSTRUCT& measure) {
    const std::size_t index = measure.CtlID - static_cast<UINT>(kFirstChildId);
    return index < peers_.size() && peers_[index] && peers_[index]->Measure(measure);
}

bool NativeControls::OnDrawItem(const DRAWITEMSTRUCT& item) {
    NativePeer* peer = PeerOf(item.hwndItem);
    return peer && peer->DrawItem(item);
}

LRESULT NativeControls::OnColor(HDC dc) {
    HWND child = WindowFromDC(dc);
    ui::Color back = form_.BackColor(), fore = form_.ForeColor();
    if (NativePeer* peer = child ? PeerOf(child) : nullptr) peer->Colors(back, fore);
    SetTextColor(dc, Resolve(fore));
    SetBkColor(dc, Resolve(back));
    return reinterpret_cast<LRESULT>(GdiResources::Get().Brush(Resolve(back)));
}

}  // namespace orvan::win32
