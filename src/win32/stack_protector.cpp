// The stack protector's canary and what ends the program when a canary or a
// checked copy finds memory overwritten, in place of libssp's. libssp seeds
// its canary through CryptAcquireContext before the program's first line,
// which loads a cryptographic provider by the name the registry gives it,
// before the library search is kept to the system folder. Importing the
// system's generator would not do either: advapi32 only forwards it to
// cryptbase on Windows 7 and later, which is no known library, so the loader
// would look for cryptbase.dll beside the program while binding the imports.
// Linked into the program itself, so these definitions are the ones taken.
#include "win32/stack_protector.h"

#include <windows.h>
#include <ntsecapi.h>

#include <cstdint>
#include <string>

#include "win32/lazy_dll.h"

extern "C" {

// The compiler's code compares every protected frame against this.
std::uintptr_t __stack_chk_guard = 0x2B992DDF;

[[noreturn]] void __stack_chk_fail() {
    // The process is in no state to run anything of its own: ended at once,
    // with the code Windows' error reporting knows as a stack buffer overrun.
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_trap();
}

// A checked copy (_FORTIFY_SOURCE) found its destination too small.
[[noreturn]] void __chk_fail() { __stack_chk_fail(); }
}

namespace orvan::win32 {

namespace {

using RandomFunction = BOOLEAN WINAPI(PVOID, ULONG);

// RtlGenRandom, exported as SystemFunction036: from cryptbase, where Windows
// 7 and later implement it, loaded by its full path, so advapi32's forward
// never has to look for it; where the system folder holds no cryptbase
// (Vista, Wine), from advapi32, which implements it itself there.
__attribute__((noinline)) RandomFunction* SystemGenerator() {
    const LibrarySearch search = SearchThisSystemHas();
    HMODULE module = LoadFromSystemFolder("cryptbase.dll", search);
    if (!module) {
        char folder[MAX_PATH];
        const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return nullptr;
        const std::string cryptbase = std::string(folder, length) + "\\cryptbase.dll";
        if (GetFileAttributesA(cryptbase.c_str()) != INVALID_FILE_ATTRIBUTES) return nullptr;
        module = LoadFromSystemFolder("advapi32.dll", search);
    }
    if (!module) return nullptr;
    return reinterpret_cast<RandomFunction*>(reinterpret_cast<void*>(GetProcAddress(module, "SystemFunction036")));
}

}  // namespace

// Nothing here is protected, so nothing here checks the old value.
__attribute__((no_stack_protector)) void SeedStackGuard() {
    std::uintptr_t seed = 0;
    RandomFunction* generate = SystemGenerator();
    if (generate && generate(&seed, sizeof seed) && seed != 0) {
        __stack_chk_guard = seed;
        return;
    }
    // The system's generator failed: what differs from start to start.
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    __stack_chk_guard ^= static_cast<std::uintptr_t>(counter.QuadPart) ^ now.dwLowDateTime ^
                         (static_cast<std::uintptr_t>(GetCurrentProcessId()) << 16) ^ GetCurrentThreadId() ^
                         reinterpret_cast<std::uintptr_t>(&seed);
}

}  // namespace orvan::win32
