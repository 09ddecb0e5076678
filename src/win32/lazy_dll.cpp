#include "win32/lazy_dll.h"

#include <objbase.h>

#include <map>
#include <string>

namespace orvan::win32 {

namespace {

using SetDefaultDllDirectoriesFunction = BOOL WINAPI(DWORD);

// Found by name: the function, and with it the LOAD_LIBRARY_SEARCH_ flags,
// came with Windows 8 and with update KB2533623 for Vista and 7, whose
// kernel32 has it only then.
SetDefaultDllDirectoriesFunction* SetDefaultDllDirectoriesOf() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return nullptr;
    return reinterpret_cast<SetDefaultDllDirectoriesFunction*>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
}

}  // namespace

LibrarySearch SearchThisSystemHas() {
    return SetDefaultDllDirectoriesOf() ? LibrarySearch::SystemFolderFlag : LibrarySearch::AlteredSearchPath;
}

HMODULE LoadFromSystemFolder(const char* dll, LibrarySearch search) {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder, length) + "\\" + dll;
    // By its full path, so no library of that name loaded from elsewhere
    // stands in; the flag keeps the libraries it needs to the system folder
    // as well, and the altered search starts them in the library's own
    // folder, the system folder, instead of the program's.
    const DWORD flags =
        search == LibrarySearch::SystemFolderFlag ? LOAD_LIBRARY_SEARCH_SYSTEM32 : LOAD_WITH_ALTERED_SEARCH_PATH;
    return LoadLibraryExA(path.c_str(), nullptr, flags);
}

void KeepLibrarySearchToTheSystemFolder() {
    if (auto* setDefault = SetDefaultDllDirectoriesOf(); setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    SetDllDirectoryA("");
}

HMODULE SystemLibrary(const char* dll) {
    static std::map<std::string, HMODULE> loaded;
    const auto found = loaded.find(dll);
    if (found != loaded.end()) return found->second;
    HMODULE module = LoadFromSystemFolder(dll, SearchThisSystemHas());
    if (module) loaded.emplace(dll, module);
    return module;
}

bool EnterComApartment() {
    // Without OLE 1's DDE, as the shell asks of a thread that calls
    // ShellExecuteEx; an apartment already entered (S_FALSE) counts.
    static const bool entered = [] {
        auto* init = LazyFunction<decltype(CoInitializeEx)>("ole32.dll", "CoInitializeEx");
        return init && SUCCEEDED(init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }();
    return entered;
}

}  // namespace orvan::win32
