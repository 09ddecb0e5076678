// System libraries the console needs only for some commands are loaded on
// first use, so start-up pays neither their load time nor their memory.
#pragma once

#include <windows.h>

namespace orvan::win32 {

// The function `name` of the system library `dll`, or nullptr.
template <typename Function>
Function* LazyFunction(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    if (!module) module = LoadLibraryA(dll);
    if (!module) return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace orvan::win32
