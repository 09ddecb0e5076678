// System libraries the console needs only for some commands are loaded on
// first use, so start-up pays neither their load time nor their memory. They
// come from the system folder alone: a file of the same name beside the
// program or in its current folder (a Downloads folder, where a web page can
// leave one) is never loaded.
#pragma once

#include <windows.h>

namespace orvan::win32 {

// The first thing the program does: every library the process loads by name
// from then on, ours and those the system's own code loads for us (COM, the
// common dialogs), is looked for in the system folder only. Without the
// means (Vista and 7 before update KB2533623), the current folder at least
// leaves the search.
void KeepLibrarySearchToTheSystemFolder();

// The system library `dll` (a bare name: "oleacc.dll") from the system
// folder, and the libraries it needs from there too; nullptr when it cannot
// be loaded. Loaded once and kept.
HMODULE SystemLibrary(const char* dll);

// How a library is kept to the system folder: the system's search flag, or,
// where the system lacks it, its full path with the search for the
// libraries it needs started in its own folder.
enum class LibrarySearch { SystemFolderFlag, AlteredSearchPath };
// The means this system has.
LibrarySearch SearchThisSystemHas();
// Loads `dll` from the system folder by its full path, the given way (each
// call loads again; SystemLibrary keeps what it loaded).
HMODULE LoadFromSystemFolder(const char* dll, LibrarySearch search);

// The function `name` of the system library `dll`, or nullptr.
template <typename Function>
Function* LazyFunction(const char* dll, const char* name) {
    HMODULE module = SystemLibrary(dll);
    if (!module) return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// COM on the calling thread, in a single-threaded apartment, entered once
// and kept for the thread's life (the console's one thread lives as long as
// the process). False when ole32 cannot be had.
bool EnterComApartment();

}  // namespace orvan::win32
