#include "win32/list_accessible.h"

#include <oleacc.h>

#include <optional>
#include <string>

#include "ui/controls.h"
#include "win32/accessible_types.h"

namespace orvan::win32 {

// The list itself is the system's object's to describe; its entries, ids 1
// to the count, are the model's.
class ListAccessible final : public DispatchWithoutTypes<IAccessible> {
public:
    ListAccessible(HWND hwnd, IAccessible* standard, const ui::ListBox& list)
        : hwnd_(hwnd), standard_(standard), list_(&list) {}
    ListAccessible(const ListAccessible&) = delete;
    ListAccessible& operator=(const ListAccessible&) = delete;

    void Disconnect() {
        list_ = nullptr;
        if (standard_) standard_->Release();
        standard_ = nullptr;
    }

    // ---- IUnknown: IOleWindow is the system object's; there is no
    // IEnumVARIANT, so tools number the entries by get_accChild.
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        if (riid == IID_IOleWindow && standard_) return standard_->QueryInterface(riid, out);
        return E_NOINTERFACE;
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

    // ---- IAccessible
    STDMETHODIMP get_accChildCount(LONG* count) override {
        if (!count) return E_POINTER;
        *count = list_ ? list_->ListCount() : 0;
        return list_ ? S_OK : RPC_E_DISCONNECTED;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return Entry(child) ? S_FALSE : E_INVALIDARG;  // an entry is an element, not an object
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        if (const std::optional<int> entry = Entry(child)) return Text(list_->List(*entry), name);
        return Ask(&IAccessible::get_accName, child, name);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        if (const std::optional<int> entry = Entry(child)) return Text(list_->EntryShortcut(*entry), shortcut);
        return Ask(&IAccessible::get_accKeyboardShortcut, child, shortcut);
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (Entry(child)) return Text("Double Click", action);
        return Ask(&IAccessible::get_accDefaultAction, child, action);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        if (Entry(child)) {
            role->vt = VT_I4;
            role->lVal = ROLE_SYSTEM_LISTITEM;
            return S_OK;
        }
        return Ask(&IAccessible::get_accRole, child, role);
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        if (const std::optional<int> entry = Entry(child)) {
            const bool selected = *entry == list_->ListIndex();
            const bool focused = selected && GetFocus() == hwnd_;
            state->vt = VT_I4;
            state->lVal = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE | (selected ? STATE_SYSTEM_SELECTED : 0) |
                          (focused ? STATE_SYSTEM_FOCUSED : 0);
            return S_OK;
        }
        return Ask(&IAccessible::get_accState, child, state);
    }
    STDMETHODIMP accLocation(LONG* x, LONG* y, LONG* width, LONG* height, VARIANT child) override {
        if (!x || !y || !width || !height) return E_POINTER;
        if (const std::optional<int> entry = Entry(child)) {
            RECT r{};
            if (SendMessageA(hwnd_, LB_GETITEMRECT, static_cast<WPARAM>(*entry), reinterpret_cast<LPARAM>(&r)) ==
                LB_ERR)
                return E_FAIL;
            MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
            *x = r.left;
            *y = r.top;
            *width = r.right - r.left;
            *height = r.bottom - r.top;
            return S_OK;
        }
        return Ask(&IAccessible::accLocation, x, y, width, height, child);
    }
    STDMETHODIMP get_accParent(IDispatch** parent) override { return Ask(&IAccessible::get_accParent, parent); }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
        return Ask(&IAccessible::get_accValue, child, value);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override {
        return Ask(&IAccessible::get_accDescription, child, text);
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override { return Ask(&IAccessible::get_accHelp, child, help); }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return Ask(&IAccessible::get_accHelpTopic, file, child, topic);
    }
    STDMETHODIMP get_accFocus(VARIANT* focus) override { return Ask(&IAccessible::get_accFocus, focus); }
    STDMETHODIMP get_accSelection(VARIANT* selection) override {
        return Ask(&IAccessible::get_accSelection, selection);
    }
    STDMETHODIMP accSelect(LONG flags, VARIANT child) override { return Ask(&IAccessible::accSelect, flags, child); }
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return Ask(&IAccessible::accNavigate, direction, start, end);
    }
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* child) override {
        return Ask(&IAccessible::accHitTest, x, y, child);
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override { return Ask(&IAccessible::accDoDefaultAction, child); }
    STDMETHODIMP put_accName(VARIANT child, BSTR name) override { return Ask(&IAccessible::put_accName, child, name); }
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override {
        return Ask(&IAccessible::put_accValue, child, value);
    }

private:
    // The entry a child id names, if it names one.
    std::optional<int> Entry(const VARIANT& child) const {
        if (!list_ || child.vt != VT_I4 || child.lVal < 1 || child.lVal > list_->ListCount()) return std::nullopt;
        return child.lVal - 1;
    }
    static HRESULT Text(const std::string& text, BSTR* out) {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (text.empty()) return S_FALSE;
        *out = NewBstr(text);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    template <typename Method, typename... Args>
    HRESULT Ask(Method method, Args... args) {
        return standard_ ? (standard_->*method)(args...) : RPC_E_DISCONNECTED;
    }

    LONG refs_ = 1;
    HWND hwnd_;
    IAccessible* standard_;
    const ui::ListBox* list_;
};

bool AnswerListGetObject(HWND list, const ui::ListBox& model, ListAccessible*& object, WPARAM wParam, LPARAM lParam,
                         LRESULT& result) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || model.EntryShortcut(0).empty()) return false;
    auto* lresultFromObject = Oleacc<decltype(LresultFromObject)>("LresultFromObject");
    auto* create = Oleacc<decltype(CreateStdAccessibleObject)>("CreateStdAccessibleObject");
    if (!lresultFromObject || !create) return false;
    if (!object) {
        // Handing the object to another process takes COM on this thread.
        IAccessible* standard = nullptr;
        if (!EnterComApartment() ||
            FAILED(create(list, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&standard))))
            return false;
        object = new ListAccessible(list, standard, model);
    }
    result = lresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(object));
    return true;
}

void DisconnectListAccessible(ListAccessible*& object) {
    if (!object) return;
    object->Disconnect();
    object->Release();
    object = nullptr;
}

}  // namespace orvan::win32
