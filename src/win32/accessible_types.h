// The system's accessibility types from the model's, and the plumbing an
// accessible object of ours needs: the libraries loaded on first use, texts
// as BSTRs, child ids in VARIANTs, an IDispatch without type information.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <optional>
#include <string>

#include "win32/lazy_dll.h"
#include "ui/accessibility.h"

namespace orvan::win32 {

// The accessibility and COM libraries are loaded when a tool first asks,
// so start-up does not pay for them.
template <typename Function>
Function* Oleacc(const char* name) {
    return LazyFunction<Function>("oleacc.dll", name);
}

// A new BSTR of the ANSI text; null when the text library cannot be had.
BSTR NewBstr(const std::string& text);

LONG SystemRole(ui::AccessibleRole role);
LONG SystemStates(unsigned states);
// Nothing for a direction the model does not know.
std::optional<ui::NavDirection> DirectionOf(LONG direction);

void SetChild(VARIANT* out, LONG id);
void SetEmpty(VARIANT* out);

// The system's accessible object of a native child window, as an IDispatch.
IDispatch* WindowObject(HWND child);

// IDispatch for an interface that tools call directly: no type information.
template <typename Interface>
class DispatchWithoutTypes : public Interface {
public:
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
};

}  // namespace orvan::win32
