#include "win32/accessible_types.h"

#include "win32/services.h"

namespace orvan::win32 {

BSTR NewBstr(const std::string& text) {
    const std::wstring wide = Widen(text, CP_ACP);
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

LONG SystemStates(unsigned states) {
    LONG system = 0;
    if (states & ui::kStateUnavailable) system |= STATE_SYSTEM_UNAVAILABLE;
    if (states & ui::kStateInvisible) system |= STATE_SYSTEM_INVISIBLE;
    if (states & ui::kStateOffscreen) system |= STATE_SYSTEM_OFFSCREEN;
    if (states & ui::kStateReadOnly) system |= STATE_SYSTEM_READONLY;
    return system;
}

std::optional<ui::NavDirection> DirectionOf(LONG direction) {
    switch (direction) {
    case NAVDIR_UP:
        return ui::NavDirection::Up;
    case NAVDIR_DOWN:
        return ui::NavDirection::Down;
    case NAVDIR_LEFT:
        return ui::NavDirection::Left;
    case NAVDIR_RIGHT:
        return ui::NavDirection::Right;
    case NAVDIR_NEXT:
        return ui::NavDirection::Next;
    case NAVDIR_PREVIOUS:
        return ui::NavDirection::Previous;
    case NAVDIR_FIRSTCHILD:
        return ui::NavDirection::FirstChild;
    case NAVDIR_LASTCHILD:
        return ui::NavDirection::LastChild;
    default:
        return std::nullopt;
    }
}

void SetChild(VARIANT* out, LONG id) {
    out->vt = VT_I4;
    out->lVal = id;
}

void SetEmpty(VARIANT* out) { out->vt = VT_EMPTY; }

IDispatch* WindowObject(HWND child) {
    auto* fromWindow = Oleacc<decltype(AccessibleObjectFromWindow)>("AccessibleObjectFromWindow");
    IDispatch* dispatch = nullptr;
    if (!fromWindow ||
        FAILED(fromWindow(child, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        return nullptr;
    return dispatch;
}

}  // namespace orvan::win32
