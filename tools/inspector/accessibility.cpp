#include "accessibility.h"

#include <oleacc.h>

#include <map>
#include <string>
#include <vector>

namespace inspector {
namespace {

std::string HexOf(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

HWND RequireWindow(const std::string& text) {
    HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(ParseNumber(text)));
    if (!IsWindow(hwnd)) throw CommandError("no such window");
    return hwnd;
}

// Released at the end of its scope.
class Held {
public:
    Held() = default;
    explicit Held(IAccessible* acc) : acc_(acc) {}
    ~Held() {
        if (acc_) acc_->Release();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    IAccessible* operator->() const { return acc_; }
    IAccessible* get() const { return acc_; }
    IAccessible** out() { return &acc_; }

private:
    IAccessible* acc_ = nullptr;
};

void Check(HRESULT hr, const char* call) {
    if (FAILED(hr)) throw CommandError(call + (": " + HexOf(hr)));
}

void ClientOf(HWND hwnd, Held& acc) {
    const HRESULT hr = AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                  reinterpret_cast<void**>(acc.out()));
    if (FAILED(hr) || !acc.get()) throw CommandError("no accessible object: " + HexOf(hr));
}

VARIANT Id(LONG id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string RoleWord(LONG role) {
    switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON:
        return "pushbutton";
    case ROLE_SYSTEM_STATICTEXT:
        return "statictext";
    case ROLE_SYSTEM_GRAPHIC:
        return "graphic";
    case ROLE_SYSTEM_CLIENT:
        return "client";
    case ROLE_SYSTEM_WINDOW:
        return "window";
    case ROLE_SYSTEM_LIST:
        return "list";
    case ROLE_SYSTEM_GROUPING:
        return "grouping";
    case ROLE_SYSTEM_RADIOBUTTON:
        return "radiobutton";
    default:
        return "role" + std::to_string(role);
    }
}

std::string TextOf(HRESULT (STDMETHODCALLTYPE IAccessible::*getter)(VARIANT, BSTR*), IAccessible* acc, LONG id) {
    BSTR text = nullptr;
    const HRESULT hr = (acc->*getter)(Id(id), &text);
    std::string out = SUCCEEDED(hr) && text ? Utf8(std::wstring(text, SysStringLen(text))) : std::string();
    SysFreeString(text);
    return out;
}

// One child (or the object itself, id 0): what a screen reader reads of it.
Record Describe(IAccessible* acc, LONG id, const char* kind, LONG childId) {
    VARIANT role;
    VariantInit(&role);
    acc->get_accRole(Id(id), &role);
    VARIANT state;
    VariantInit(&state);
    acc->get_accState(Id(id), &state);
    const LONG flags = state.vt == VT_I4 ? state.lVal : 0;
    LONG x = 0, y = 0, w = 0, h = 0;
    acc->accLocation(&x, &y, &w, &h, Id(id));
    HWND hwnd = nullptr;
    if (id == CHILDID_SELF) WindowFromAccessibleObject(acc, &hwnd);
    Record record;
    record.Add("id", std::to_string(childId))
        .Add("kind", kind)
        .Add("role", role.vt == VT_I4 ? RoleWord(role.lVal) : "none")
        .Add("name", TextOf(&IAccessible::get_accName, acc, id))
        .Add("description", TextOf(&IAccessible::get_accDescription, acc, id))
        .Hex("state", static_cast<DWORD>(flags))
        .Flag("invisible", (flags & STATE_SYSTEM_INVISIBLE) != 0)
        .Flag("unavailable", (flags & STATE_SYSTEM_UNAVAILABLE) != 0)
        .Add("rect", RECT{x, y, x + w, y + h})
        .Add("action", TextOf(&IAccessible::get_accDefaultAction, acc, id))
        .Add("shortcut", TextOf(&IAccessible::get_accKeyboardShortcut, acc, id))
        .Hex("hwnd", reinterpret_cast<UINT_PTR>(hwnd));
    VariantClear(&role);
    VariantClear(&state);
    return record;
}

// A child as a VARIANT from accHitTest, accNavigate or AccessibleChildren.
Record DescribeVariant(IAccessible* parent, VARIANT& v, LONG position) {
    if (v.vt == VT_I4) return Describe(parent, v.lVal, v.lVal == CHILDID_SELF ? "self" : "element", v.lVal);
    if (v.vt == VT_DISPATCH && v.pdispVal) {
        Held child;
        if (SUCCEEDED(v.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(child.out()))))
            return Describe(child.get(), CHILDID_SELF, "object", position);
    }
    throw CommandError("no object there");
}

std::vector<Record> Children(IAccessible* acc) {
    LONG count = 0;
    HRESULT hr = acc->get_accChildCount(&count);
    Check(hr, "get_accChildCount");
    if (count <= 0) return {};
    std::vector<VARIANT> children(static_cast<size_t>(count));
    LONG obtained = 0;
    hr = AccessibleChildren(acc, 0, count, children.data(), &obtained);
    Check(hr, "AccessibleChildren");
    std::vector<Record> records;
    for (LONG i = 0; i < obtained; ++i) {
        records.push_back(DescribeVariant(acc, children[static_cast<size_t>(i)], i + 1));
        VariantClear(&children[static_cast<size_t>(i)]);
    }
    return records;
}

LONG Direction(const std::string& word) {
    static const std::map<std::string, LONG> words = {
        {"up", NAVDIR_UP},     {"down", NAVDIR_DOWN},         {"left", NAVDIR_LEFT},        {"right", NAVDIR_RIGHT},
        {"next", NAVDIR_NEXT}, {"previous", NAVDIR_PREVIOUS}, {"first", NAVDIR_FIRSTCHILD}, {"last", NAVDIR_LASTCHILD}};
    const auto found = words.find(word);
    if (found == words.end()) throw CommandError("no such direction " + word);
    return found->second;
}

// The child a call answered with, as one record; `none` says why there is none.
Reply OneChild(IAccessible* acc, HRESULT hr, const char* call, VARIANT& v, const char* none) {
    Check(hr, call);
    if (v.vt == VT_EMPTY) throw CommandError(none);
    Reply reply;
    reply.records.push_back(DescribeVariant(acc, v, 0));
    VariantClear(&v);
    return reply;
}

// Objects kept across commands by acc-hold, by window.
std::map<HWND, IAccessible*>& Kept() {
    static std::map<HWND, IAccessible*> kept;
    return kept;
}

}  // namespace

Reply AccTree(const Args& args) {
    Held acc;
    ClientOf(RequireWindow(args[0]), acc);
    Reply reply;
    reply.records.push_back(Describe(acc.get(), CHILDID_SELF, "self", 0));
    for (Record& r : Children(acc.get())) reply.records.push_back(std::move(r));
    return reply;
}

Reply AccHit(const Args& args) {
    Held acc;
    ClientOf(RequireWindow(args[0]), acc);
    VARIANT at;
    VariantInit(&at);
    const HRESULT hr =
        acc->accHitTest(static_cast<LONG>(ParseNumber(args[1])), static_cast<LONG>(ParseNumber(args[2])), &at);
    return OneChild(acc.get(), hr, "accHitTest", at, "outside the window");
}

Reply AccNavigate(const Args& args) {
    Held acc;
    ClientOf(RequireWindow(args[0]), acc);
    VARIANT to;
    VariantInit(&to);
    const HRESULT hr = acc->accNavigate(Direction(args[2]), Id(static_cast<LONG>(ParseNumber(args[1]))), &to);
    return OneChild(acc.get(), hr, "accNavigate", to, "nothing that way");
}

Reply AccDo(const Args& args) {
    Held acc;
    ClientOf(RequireWindow(args[0]), acc);
    Check(acc->accDoDefaultAction(Id(static_cast<LONG>(ParseNumber(args[1])))), "accDoDefaultAction");
    return {};
}

Reply AccPress(const Args& args) {
    Held acc;
    ClientOf(RequireWindow(args[0]), acc);
    LONG count = 0;
    acc->get_accChildCount(&count);
    std::vector<LONG> named;
    for (LONG id = 1; id <= count; ++id)
        if (TextOf(&IAccessible::get_accName, acc.get(), id) == args[1]) named.push_back(id);
    if (named.empty()) throw CommandError("no child named " + args[1]);
    if (named.size() > 1) throw CommandError(std::to_string(named.size()) + " children named " + args[1]);
    Check(acc->accDoDefaultAction(Id(named[0])), "accDoDefaultAction");
    Reply reply;
    reply.records.push_back(Record().Add("id", std::to_string(named[0])));
    return reply;
}

Reply AccHold(const Args& args) {
    HWND hwnd = RequireWindow(args[0]);
    Held acc;
    ClientOf(hwnd, acc);
    IAccessible*& kept = Kept()[hwnd];
    if (kept) kept->Release();
    kept = acc.get();
    kept->AddRef();
    return {};
}

Reply AccHeld(const Args& args) {
    // The window may be gone: the handle is only a key here.
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(ParseNumber(args[0])));
    const auto found = Kept().find(hwnd);
    if (found == Kept().end()) throw CommandError("nothing held for that window");
    Held acc(found->second);
    Kept().erase(found);
    LONG count = 0;
    BSTR name = nullptr;
    VARIANT at;
    VariantInit(&at);
    LONG x = 0, y = 0, w = 0, h = 0;
    Reply reply;
    reply.records.push_back(Record()
                                .Add("count", HexOf(acc->get_accChildCount(&count)))
                                .Add("name", HexOf(acc->get_accName(Id(1), &name)))
                                .Add("location", HexOf(acc->accLocation(&x, &y, &w, &h, Id(1))))
                                .Add("hit", HexOf(acc->accHitTest(x, y, &at)))
                                .Add("action", HexOf(acc->accDoDefaultAction(Id(1)))));
    SysFreeString(name);
    VariantClear(&at);
    return reply;
}

}  // namespace inspector
