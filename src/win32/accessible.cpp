#include "win32/accessible.h"

#include <oleacc.h>

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "win32/accessible_types.h"
#include "ui/accessibility.h"

namespace orvan::win32 {

class AccessibleForm final : public DispatchWithoutTypes<IAccessible>, public IOleWindow {
public:
    explicit AccessibleForm(AccessibleHost& window) : window_(&window) {
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
        *count = Look().window.ChildCount();
        return S_OK;
    }

    STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return WithChild(child, [&](const View&, const Target& t) -> HRESULT {
            if (t.self) return E_INVALIDARG;
            if (t.control) return S_FALSE;  // a simple element, known by its id
            *out = WindowObject(t.native);
            return *out ? S_OK : E_FAIL;
        });
    }

    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &IAccessible::get_accName,
                    [](const View&, const ui::Control& c) { return c.AccessibleName(); });
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, &IAccessible::get_accValue, nullptr);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override {
        return Text(child, description, &IAccessible::get_accDescription,
                    [](const View&, const ui::Control& c) { return c.AccessibleDescription; });
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override {
        return Text(child, help, &IAccessible::get_accHelp, nullptr);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Text(child, shortcut, &IAccessible::get_accKeyboardShortcut, nullptr);
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action, &IAccessible::get_accDefaultAction,
                    [](const View& v, const ui::Control& c) { return v.window.DefaultActionOf(c); });
    }

    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = -1;
        return window_ ? S_FALSE : RPC_E_DISCONNECTED;
    }

    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        return Number(child, role, &IAccessible::get_accRole,
                      [](const View&, const ui::Control& c) { return SystemRole(c.Role()); });
    }

    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        return Number(child, state, &IAccessible::get_accState,
                      [](const View& v, const ui::Control& c) { return SystemStates(v.window.StatesOf(c)); });
    }

    STDMETHODIMP get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        SetEmpty(focus);
        if (!window_) return RPC_E_DISCONNECTED;
        // Only native children take the focus; the windowless controls never do.
        HWND focused = ::GetFocus();
        if (focused == window_->Hwnd()) {
            SetChild(focus, CHILDID_SELF);
            return S_OK;
        }
        for (HWND child : Look().natives) {
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
        return WithChild(child, [&](const View&, const Target& t) -> HRESULT {
            if (t.control) return DISP_E_MEMBERNOTFOUND;
            return Forward(t, [&](IAccessible* acc, VARIANT self) { return acc->accSelect(flags, self); });
        });
    }

    STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        return WithChild(child, [&](const View&, const Target& t) -> HRESULT {
            if (t.control) {
                const ui::Rect b = t.control->Bounds();
                RECT r{b.left, b.top, b.right, b.bottom};
                MapWindowPoints(window_->Hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
                *left = r.left;
                *top = r.top;
                *width = r.right - r.left;
                *height = r.bottom - r.top;
                return S_OK;
            }
            return Forward(
                t, [&](IAccessible* acc, VARIANT self) { return acc->accLocation(left, top, width, height, self); });
        });
    }

    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        SetEmpty(end);
        const std::optional<ui::NavDirection> way = DirectionOf(direction);
        return WithChild(start, [&](const View& v, const Target& t) -> HRESULT {
            if (!way) return E_INVALIDARG;
            const std::optional<int> to = v.window.Navigate(t.id, *way);
            if (!to)
                return Forward(t,
                               [&](IAccessible* acc, VARIANT self) { return acc->accNavigate(direction, self, end); });
            return *to > 0 ? Child(v, *to, end) : S_FALSE;
        });
    }

    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* at) override {
        if (!at) return E_POINTER;
        SetEmpty(at);
        if (!window_) return RPC_E_DISCONNECTED;
        POINT p{x, y};
        ScreenToClient(window_->Hwnd(), &p);
        const View v = Look();
        const std::optional<int> under = v.window.HitTest(p.x, p.y);
        if (!under) return S_FALSE;
        if (*under == 0) {
            SetChild(at, CHILDID_SELF);
            return S_OK;
        }
        return Child(v, *under, at);
    }

    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        return WithChild(child, [&](const View& v, const Target& t) -> HRESULT {
            if (t.control) {
                if (v.window.DefaultActionOf(*t.control).empty()) return DISP_E_MEMBERNOTFOUND;
                if (!v.window.Pressable(*t.control)) return E_ACCESSDENIED;
                // Run from the message loop, as a click would be, so a tool never
                // waits on what the press opens.
                window_->PressLater(*t.control);
                return S_OK;
            }
            return Forward(t, [&](IAccessible* acc, VARIANT self) { return acc->accDoDefaultAction(self); });
        });
    }

    STDMETHODIMP put_accName(VARIANT, BSTR) override { return window_ ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return window_ ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED; }

private:
    ~AccessibleForm() = default;

    // The window as tools see it now, and the handles of its native
    // children in the model's order.
    struct View {
        ui::AccessibleWindow window;
        std::vector<HWND> natives;
    };

    View Look() const {
        HWND hwnd = window_->Hwnd();
        std::vector<HWND> handles;
        std::vector<ui::NativeChild> natives;
        for (HWND c = ::GetWindow(hwnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            RECT r{};
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
            handles.push_back(c);
            natives.push_back({{r.left, r.top, r.right, r.bottom}, IsWindowVisible(c) != FALSE});
        }
        RECT client{};
        GetClientRect(hwnd, &client);
        return {ui::AccessibleWindow(window_->Model(), std::move(natives), {0, 0, client.right, client.bottom},
                                     window_->Enabled()),
                std::move(handles)};
    }

    // What a child id names: the window itself, a windowless control or a
    // native child window.
    struct Target {
        LONG id = 0;
        bool self = false;
        ui::Control* control = nullptr;
        HWND native = nullptr;
    };

    // Answers for the child a tool names, once the window is known to be
    // there and the id to name a child.
    template <typename Answer>
    HRESULT WithChild(const VARIANT& child, Answer answer) const {
        if (!window_) return RPC_E_DISCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        const View v = Look();
        Target t;
        if (!Locate(v, child.lVal, t)) return E_INVALIDARG;
        return answer(v, t);
    }

    static bool Locate(const View& v, LONG id, Target& t) {
        t = Target{};
        t.id = id;
        if (!v.window.Exists(static_cast<int>(id))) return false;
        t.self = id == CHILDID_SELF;
        t.control = v.window.ControlOf(static_cast<int>(id));
        if (const std::optional<std::size_t> native = v.window.NativeOf(static_cast<int>(id)))
            t.native = v.natives[*native];
        return true;
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
        return WithChild(child, [&](const View& v, const Target& t) -> HRESULT {
            if (t.control) {
                std::string text;
                if constexpr (!std::is_same_v<Model, std::nullptr_t>) text = model(v, *t.control);
                if (text.empty()) return S_FALSE;
                *out = NewBstr(text);
                return *out ? S_OK : E_OUTOFMEMORY;
            }
            return Forward(t, [&](IAccessible* acc, VARIANT self) { return (acc->*getter)(self, out); });
        });
    }

    using NumberGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);
    template <typename Model>
    HRESULT Number(const VARIANT& child, VARIANT* out, NumberGetter getter, Model model) const {
        if (!out) return E_POINTER;
        SetEmpty(out);
        return WithChild(child, [&](const View& v, const Target& t) -> HRESULT {
            if (t.control) {
                SetChild(out, model(v, *t.control));
                return S_OK;
            }
            return Forward(t, [&](IAccessible* acc, VARIANT self) { return (acc->*getter)(self, out); });
        });
    }

    // Child `id` as a tool receives it: a simple element by its id, a
    // native child as its own object.
    static HRESULT Child(const View& v, int id, VARIANT* out) {
        if (v.window.ControlOf(id)) {
            SetChild(out, id);
            return S_OK;
        }
        const std::optional<std::size_t> native = v.window.NativeOf(id);
        if (!native) return E_INVALIDARG;
        out->vt = VT_DISPATCH;
        out->pdispVal = WindowObject(v.natives[*native]);
        if (out->pdispVal) return S_OK;
        SetEmpty(out);
        return E_FAIL;
    }

    LONG refs_ = 1;
    AccessibleHost* window_;
    IAccessible* standard_ = nullptr;
};

bool AnswerGetObject(AccessibleHost& window, AccessibleForm*& object, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
    auto* lresultFromObject = Oleacc<decltype(LresultFromObject)>("LresultFromObject");
    if (!lresultFromObject) return false;
    if (!object) {
        // Handing the object to another process takes COM on this thread.
        if (!EnterComApartment()) return false;
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
