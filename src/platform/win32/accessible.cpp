#include "platform/win32/accessible.h"

#include <oleacc.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/win32/form_window.h"
#include "platform/win32/lazy_dll.h"

namespace orvan::win32 {

namespace {

// The accessibility and COM libraries are loaded when a tool first asks,
// so start-up does not pay for them.
template <typename Function>
Function* Oleacc(const char* name) {
    return LazyFunction<Function>("oleacc.dll", name);
}

BSTR NewBstr(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    static auto* alloc = LazyFunction<decltype(SysAllocStringLen)>("oleaut32.dll", "SysAllocStringLen");
    return alloc ? alloc(wide.c_str(), static_cast<UINT>(wide.size())) : nullptr;
}

LONG SystemRole(ui::AccessibleRole role) {
    switch (role) {
    case ui::AccessibleRole::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case ui::AccessibleRole::StaticText:
        return ROLE_SYSTEM_STATICTEXT;
    case ui::AccessibleRole::Graphic:
        return ROLE_SYSTEM_GRAPHIC;
    default:
        return ROLE_SYSTEM_CLIENT;
    }
}

void SetChild(VARIANT* out, LONG id) {
    out->vt = VT_I4;
    out->lVal = id;
}

void SetEmpty(VARIANT* out) { out->vt = VT_EMPTY; }

// The system's accessible object of a native child window, as an IDispatch.
IDispatch* WindowObject(HWND child) {
    auto* fromWindow = Oleacc<decltype(AccessibleObjectFromWindow)>("AccessibleObjectFromWindow");
    IDispatch* dispatch = nullptr;
    if (!fromWindow || FAILED(fromWindow(child, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                         reinterpret_cast<void**>(&dispatch))))
        return nullptr;
    return dispatch;
}

}  // namespace

class AccessibleForm final : public IAccessible, public IOleWindow {
public:
    explicit AccessibleForm(FormWindow& window) : window_(&window) {
        // The system's object of the client area answers for the window itself.
        if (auto* create = Oleacc<decltype(CreateStdAccessibleObject)>("CreateStdAccessibleObject"))
            create(window.Hwnd(), OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&standard_));
    }
    AccessibleForm(const AccessibleForm&) = delete;
    AccessibleForm& operator=(const AccessibleForm&) = delete;

    void Disconnect() {
        window_ = nullptr;
        if (standard_) standard_->Release();
        standard_ = nullptr;
    }

    // ---- IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
        } else if (riid == IID_IOleWindow) {
            *out = static_cast<IOleWindow*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            Disconnect();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // ---- IDispatch: tools use the IAccessible methods directly.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // ---- IOleWindow
    STDMETHODIMP GetWindow(HWND* hwnd) override {
        if (!hwnd) return E_POINTER;
        *hwnd = nullptr;
        if (!window_) return RPC_E_DISCONNECTED;
        *hwnd = window_->Hwnd();
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // ---- IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!window_) return RPC_E_DISCONNECTED;
        return standard_ ? standard_->get_accParent(parent) : S_FALSE;
    }

    STDMETHODIMP get_accChildCount(LONG* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        if (!window_) return RPC_E_DISCONNECTED;
        *count = static_cast<LONG>(Controls().size() + NativeChildren().size());
        return S_OK;
    }

    STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (t.self) return E_INVALIDARG;
        if (t.control) return S_FALSE;  // a simple element, known by its id
        *out = WindowObject(t.native);
        return *out ? S_OK : E_FAIL;
    }

    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &IAccessible::get_accName, [](const ui::Control& c) { return c.AccessibleName(); });
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, &IAccessible::get_accValue, nullptr);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override {
        return Text(child, description, &IAccessible::get_accDescription, nullptr);
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override {
        return Text(child, help, &IAccessible::get_accHelp, nullptr);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Text(child, shortcut, &IAccessible::get_accKeyboardShortcut, nullptr);
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action, &IAccessible::get_accDefaultAction, [](const ui::Control& c) {
            return c.Role() == ui::AccessibleRole::PushButton ? std::string("Press") : std::string();
        });
    }

    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = -1;
        return window_ ? S_FALSE : RPC_E_DISCONNECTED;
    }

    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        return Number(child, role, &IAccessible::get_accRole,
                      [](const ui::Control& c) { return SystemRole(c.Role()); });
    }

    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        return Number(child, state, &IAccessible::get_accState, [this](const ui::Control& c) { return StateOf(c); });
    }

    STDMETHODIMP get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        SetEmpty(focus);
        if (!window_) return RPC_E_DISCONNECTED;
        // Only native children take the focus; the windowless controls never do.
        HWND hwnd = window_->Hwnd();
        HWND focused = ::GetFocus();
        if (focused == hwnd) {
            SetChild(focus, CHILDID_SELF);
            return S_OK;
        }
        for (HWND child : NativeChildren()) {
            if (child == focused || IsChild(child, focused)) {
                focus->vt = VT_DISPATCH;
                focus->pdispVal = WindowObject(child);
                if (focus->pdispVal) return S_OK;
                SetEmpty(focus);
                return E_FAIL;
            }
        }
        return S_FALSE;
    }

    STDMETHODIMP get_accSelection(VARIANT* selection) override {
        if (!selection) return E_POINTER;
        SetEmpty(selection);
        return window_ ? S_FALSE : RPC_E_DISCONNECTED;
    }

    STDMETHODIMP accSelect(LONG flags, VARIANT child) override {
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (t.control) return DISP_E_MEMBERNOTFOUND;
        return Forward(t, [&](IAccessible* acc, VARIANT self) { return acc->accSelect(flags, self); });
    }

    STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (t.control) {
            const RECT r = OnScreen(t.control->Bounds());
            *left = r.left;
            *top = r.top;
            *width = r.right - r.left;
            *height = r.bottom - r.top;
            return S_OK;
        }
        return Forward(t, [&](IAccessible* acc, VARIANT self) { return acc->accLocation(left, top, width, height, self); });
    }

    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        SetEmpty(end);
        Target t;
        if (HRESULT hr = Resolve(start, t); hr != S_OK) return hr;
        const LONG count = static_cast<LONG>(Controls().size() + NativeChildren().size());
        LONG to = 0;
        if (t.self) {
            if (direction == NAVDIR_FIRSTCHILD) to = count > 0 ? 1 : 0;
            else if (direction == NAVDIR_LASTCHILD) to = count;
            else return standard_ ? standard_->accNavigate(direction, start, end) : S_FALSE;
        } else {
            switch (direction) {
            case NAVDIR_NEXT:
                to = t.id < count ? t.id + 1 : 0;
                break;
            case NAVDIR_PREVIOUS:
                to = t.id - 1;
                break;
            case NAVDIR_UP:
            case NAVDIR_DOWN:
            case NAVDIR_LEFT:
            case NAVDIR_RIGHT:
                to = Nearest(t.id, direction);
                break;
            case NAVDIR_FIRSTCHILD:
            case NAVDIR_LASTCHILD:
                if (t.control) return S_FALSE;  // a simple element has no children
                return Forward(t, [&](IAccessible* acc, VARIANT self) { return acc->accNavigate(direction, self, end); });
            default:
                return E_INVALIDARG;
            }
        }
        return to > 0 ? Child(to, end) : S_FALSE;
    }

    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* at) override {
        if (!at) return E_POINTER;
        SetEmpty(at);
        if (!window_) return RPC_E_DISCONNECTED;
        HWND hwnd = window_->Hwnd();
        POINT p{x, y};
        ScreenToClient(hwnd, &p);
        RECT client{};
        GetClientRect(hwnd, &client);
        if (!PtInRect(&client, p)) return S_FALSE;
        // Native children lie above everything the window paints itself.
        HWND under = ChildWindowFromPointEx(hwnd, p, CWP_SKIPINVISIBLE);
        if (under && under != hwnd) {
            const std::vector<HWND> natives = NativeChildren();
            for (std::size_t i = 0; i < natives.size(); ++i)
                if (natives[i] == under) return Child(static_cast<LONG>(Controls().size() + i + 1), at);
        }
        // Then the pointer's own rule: the topmost control that takes it.
        if (const ui::Control* control = window_->Model().HitTest(p.x, p.y)) {
            const std::vector<ui::Control*> controls = Controls();
            for (std::size_t i = 0; i < controls.size(); ++i)
                if (controls[i] == control) return Child(static_cast<LONG>(i + 1), at);
        }
        SetChild(at, CHILDID_SELF);
        return S_OK;
    }

    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (t.control) {
            if (t.control->Role() != ui::AccessibleRole::PushButton) return DISP_E_MEMBERNOTFOUND;
            if (!Pressable(*t.control)) return E_ACCESSDENIED;
            // Run from the message loop, as a click would be, so a tool never
            // waits on what the press opens.
            window_->PressLater(*t.control);
            return S_OK;
        }
        return Forward(t, [&](IAccessible* acc, VARIANT self) { return acc->accDoDefaultAction(self); });
    }

    STDMETHODIMP put_accName(VARIANT, BSTR) override { return window_ ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return window_ ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED; }

private:
    ~AccessibleForm() = default;

    // What a child id names: the window itself, a windowless control or a
    // native child window.
    struct Target {
        LONG id = 0;
        bool self = false;
        const ui::Control* control = nullptr;
        HWND native = nullptr;
    };

    HRESULT Resolve(const VARIANT& child, Target& t) const {
        if (!window_) return RPC_E_DISCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        return Locate(child.lVal, t) ? S_OK : E_INVALIDARG;
    }

    // Child ids count the windowless controls from 1, then the native children.
    bool Locate(LONG id, Target& t) const {
        t = Target{};
        t.id = id;
        if (id == CHILDID_SELF) {
            t.self = true;
            return true;
        }
        const std::vector<ui::Control*> controls = Controls();
        if (id > 0 && id <= static_cast<LONG>(controls.size())) {
            t.control = controls[static_cast<std::size_t>(id - 1)];
            return true;
        }
        const std::vector<HWND> natives = NativeChildren();
        const LONG native = id - static_cast<LONG>(controls.size());
        if (native > 0 && native <= static_cast<LONG>(natives.size())) {
            t.native = natives[static_cast<std::size_t>(native - 1)];
            return true;
        }
        return false;
    }

    // Asks the system's object: of the client area for the window itself,
    // of the child window for a native child.
    template <typename Call>
    HRESULT Forward(const Target& t, Call call) const {
        VARIANT self;
        SetChild(&self, CHILDID_SELF);
        if (t.self) return standard_ ? call(standard_, self) : S_FALSE;
        IDispatch* dispatch = WindowObject(t.native);
        if (!dispatch) return E_FAIL;
        IAccessible* acc = nullptr;
        HRESULT hr = dispatch->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&acc));
        dispatch->Release();
        if (FAILED(hr)) return hr;
        hr = call(acc, self);
        acc->Release();
        return hr;
    }

    using TextGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    template <typename Model>
    HRESULT Text(const VARIANT& child, BSTR* out, TextGetter getter, Model model) const {
        if (!out) return E_POINTER;
        *out = nullptr;
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (t.control) {
            std::string text;
            if constexpr (!std::is_same_v<Model, std::nullptr_t>) text = model(*t.control);
            if (text.empty()) return S_FALSE;
            *out = NewBstr(text);
            return *out ? S_OK : E_OUTOFMEMORY;
        }
        return Forward(t, [&](IAccessible* acc, VARIANT self) { return (acc->*getter)(self, out); });
    }

    using NumberGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);
    template <typename Model>
    HRESULT Number(const VARIANT& child, VARIANT* out, NumberGetter getter, Model model) const {
        if (!out) return E_POINTER;
        SetEmpty(out);
        Target t;
        if (HRESULT hr = Resolve(child, t); hr != S_OK) return hr;
        if (t.control) {
            SetChild(out, model(*t.control));
            return S_OK;
        }
        return Forward(t, [&](IAccessible* acc, VARIANT self) { return (acc->*getter)(self, out); });
    }

    std::vector<ui::Control*> Controls() const { return window_->Model().AccessibleControls(); }

    std::vector<HWND> NativeChildren() const {
        std::vector<HWND> children;
        for (HWND c = ::GetWindow(window_->Hwnd(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
        return children;
    }

    // A click reaches a control only while its window takes input and the
    // model would let the click through.
    bool Pressable(const ui::Control& control) const {
        return IsWindowEnabled(window_->Hwnd()) && window_->Model().Pressable(control);
    }

    LONG StateOf(const ui::Control& control) const {
        LONG state = 0;
        if (!control.Visible()) {
            state |= STATE_SYSTEM_INVISIBLE;
        } else {
            RECT client{}, inside{};
            GetClientRect(window_->Hwnd(), &client);
            const ui::Rect b = control.Bounds();
            const RECT r{b.left, b.top, b.right, b.bottom};
            if (!IntersectRect(&inside, &client, &r)) state |= STATE_SYSTEM_OFFSCREEN;
        }
        if (control.Role() == ui::AccessibleRole::PushButton) {
            if (!Pressable(control)) state |= STATE_SYSTEM_UNAVAILABLE;
        } else {
            state |= STATE_SYSTEM_READONLY;
        }
        return state;
    }

    RECT OnScreen(const ui::Rect& r) const {
        RECT out{r.left, r.top, r.right, r.bottom};
        MapWindowPoints(window_->Hwnd(), nullptr, reinterpret_cast<POINT*>(&out), 2);
        return out;
    }

    // The rectangle and visibility of child `id`, on the screen.
    bool Place(LONG id, RECT& r) const {
        Target t;
        if (!Locate(id, t) || t.self) return false;
        if (t.control) {
            r = OnScreen(t.control->Bounds());
            return t.control->Visible();
        }
        GetWindowRect(t.native, &r);
        return IsWindowVisible(t.native) != FALSE;
    }

    // The visible child wholly beyond `from` in the direction, the nearest
    // edge first, then the one most in line.
    LONG Nearest(LONG from, LONG direction) const {
        RECT a{};
        Place(from, a);
        const LONG count = static_cast<LONG>(Controls().size() + NativeChildren().size());
        LONG best = 0;
        long long bestGap = LLONG_MAX, bestSkew = LLONG_MAX;
        for (LONG id = 1; id <= count; ++id) {
            RECT b{};
            if (id == from || !Place(id, b)) continue;
            long long gap = 0, skew = 0;
            switch (direction) {
            case NAVDIR_UP:
                gap = a.top - b.bottom;
                break;
            case NAVDIR_DOWN:
                gap = b.top - a.bottom;
                break;
            case NAVDIR_LEFT:
                gap = a.left - b.right;
                break;
            default:
                gap = b.left - a.right;
                break;
            }
            if (gap < 0) continue;
            if (direction == NAVDIR_UP || direction == NAVDIR_DOWN)
                skew = std::llabs(static_cast<long long>(a.left + a.right) - (b.left + b.right));
            else
                skew = std::llabs(static_cast<long long>(a.top + a.bottom) - (b.top + b.bottom));
            if (gap < bestGap || (gap == bestGap && skew < bestSkew)) {
                best = id;
                bestGap = gap;
                bestSkew = skew;
            }
        }
        return best;
    }

    // Child `id` as a tool receives it: a simple element by its id, a
    // native child as its own object.
    HRESULT Child(LONG id, VARIANT* out) const {
        Target t;
        if (!Locate(id, t) || t.self) return E_INVALIDARG;
        if (t.control) {
            SetChild(out, id);
            return S_OK;
        }
        out->vt = VT_DISPATCH;
        out->pdispVal = WindowObject(t.native);
        if (out->pdispVal) return S_OK;
        SetEmpty(out);
        return E_FAIL;
    }

    LONG refs_ = 1;
    FormWindow* window_;
    IAccessible* standard_ = nullptr;
};

bool AnswerGetObject(FormWindow& window, AccessibleForm*& object, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
    auto* lresultFromObject = Oleacc<decltype(LresultFromObject)>("LresultFromObject");
    if (!lresultFromObject) return false;
    if (!object) {
        // Handing the object to another process takes COM on this thread.
        static const bool comReady = [] {
            auto* init = LazyFunction<decltype(CoInitializeEx)>("ole32.dll", "CoInitializeEx");
            return init && SUCCEEDED(init(nullptr, COINIT_APARTMENTTHREADED));
        }();
        if (!comReady) return false;
        object = new AccessibleForm(window);
    }
    result = lresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(object));
    return true;
}

void DisconnectAccessible(AccessibleForm*& object) {
    if (!object) return;
    object->Disconnect();
    object->Release();
    object = nullptr;
}

}  // namespace orvan::win32
